// @brief The examples of the bundled help that claim a behaviour, read from the data-
// attributes of the elements that show them (the vocabulary is described in
// help_examples_test.cpp).
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace dizode::testing {

// A page of an example's own small collection.
struct ProbePage {
  std::string title;
  std::string body;
};

// The title of a probe page whose marker gives none: a word no example searches for.
inline constexpr const char* kProbeTitle = "Probe";

// "Title :: body" or just "body".
ProbePage ParseProbe(const std::string& probe);

struct MarkedExample {
  std::string name;   // page and query, unique among all examples, usable as a test name
  std::string where;  // the page's path below the help folder and the element's line
  std::string query;
  bool titleOnly = false;
  std::vector<std::string> finds;  // probe texts
  std::vector<std::string> misses;
  std::vector<std::pair<std::string, std::string>> ranks;  // higher, lower
  std::optional<std::string> error;                        // an E_ code name
  std::vector<std::string> warnings;                       // W_ code names
  bool noWarning = false;
  std::string problem;  // what is wrong with a malformed marker; empty when it is sound

  // Every probe text the example names, each once, in order of appearance.
  std::vector<std::string> Probes() const;
};

// Where the example is and what it searches, for test reports.
void PrintTo(const MarkedExample& example, std::ostream* os);

// The marked elements of every .htm page directly inside helpDir/<subfolder>, pages in name
// order, elements in document order. A page that cannot be read yields one example whose
// problem says so.
std::vector<MarkedExample> ReadHelpExamples(const std::string& helpDir,
                                            const std::vector<std::string>& subfolders);

}  // namespace dizode::testing
