// @brief The zvv command lines of the bundled help that claim a behaviour, read from the
// data-zvv attributes of the elements that show them (the vocabulary is described in
// zvv_help_examples_test.cpp).
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zvv::testing {

// A page of an example's own application folder.
struct ExamplePage {
  std::string path;  // below the Help folder
  std::string title;
  std::string body;
};

struct ZvvExample {
  std::string name;         // page and arguments, unique among all examples, a test name
  std::string where;        // the page's path below the help folder and the element's line
  std::string commandLine;  // the arguments as written after "zvv"
  std::vector<std::string> args;
  std::vector<ExamplePage> pages;  // empty: the sample application's help
  bool noHelp = false;             // the application folder has no Help folder
  int exitStatus = 0;
  bool json = false;
  std::optional<std::string> summary;  // the last line; # stands for a whole number
  std::vector<std::string> shows;      // paths among the printed hits
  std::vector<std::string> hides;      // paths not among them
  std::vector<std::string> only;       // every printed path starts with one of these
  std::optional<std::string> outText;  // a part of standard output
  std::optional<std::string> errText;  // a part of standard error
  std::vector<std::string> input;      // lines on standard input, for zvv watch
  std::string problem;  // what is wrong with a malformed marker; empty when it is sound
};

// Where the example is and what it runs, for test reports.
void PrintTo(const ZvvExample& example, std::ostream* os);

// The words a POSIX shell makes of `line`: blanks separate them, single quotes keep
// everything, double quotes keep everything but \" \\ \$ and \`, a backslash outside quotes
// keeps the next character. Nullopt, with `problem` set, for an unclosed quote, a trailing
// backslash, or an unquoted character the shell would read as more than text.
std::optional<std::vector<std::string>> SplitShellWords(std::string_view line,
                                                        std::string& problem);

// The marked elements of every .htm page directly inside helpDir/<subfolder>, pages in name
// order, elements in document order. A page that cannot be read yields one example whose
// problem says so.
std::vector<ZvvExample> ReadZvvExamples(const std::string& helpDir,
                                        const std::vector<std::string>& subfolders);

}  // namespace zvv::testing
