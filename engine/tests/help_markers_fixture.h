// @brief The elements of the bundled help's pages that carry marker attributes, read with
// libxml2's HTML parser, and the text helpers each marker vocabulary needs. Nothing here knows
// what the markers mean: the engine's examples and the terminal host's examples each read the
// attributes they own.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dizode::testing {

// A marked element, or a page that cannot be read at all.
struct MarkedElement {
  std::string page;   // the page's path below the help folder, "searching/ranking.htm"
  std::string stem;   // the page's file name without its extension, "ranking"
  std::string where;  // the page and the element's line, "searching/ranking.htm:12"
  bool unreadable = false;
  // The owned attributes in document order; no value for an attribute written without one.
  std::vector<std::pair<std::string, std::optional<std::string>>> attributes;
};

// Which attribute names a vocabulary owns.
using AttributeOwner = std::function<bool(std::string_view name)>;

// The elements with at least one owned attribute in every .htm page directly inside
// helpDir/<subfolder>, pages in name order, elements in document order.
std::vector<MarkedElement> ReadMarkedElements(const std::string& helpDir,
                                              const std::vector<std::string>& subfolders,
                                              const AttributeOwner& owns);

// Without leading and trailing white space.
std::string Trim(std::string_view text);

// The trimmed parts between the separators; one part when there is none.
std::vector<std::string> Split(std::string_view text, std::string_view separator);

// The trimmed items of a "a|b|c" list.
inline std::vector<std::string> SplitList(std::string_view text) { return Split(text, "|"); }

// A piece of a test name: letters and digits stay, a few symbols that tell examples apart get
// a name, any other run of characters becomes one underscore; characters beyond ASCII are
// written as their code points.
std::string NamePart(std::string_view text);

// Equal names (the same example shown twice on a page) get a number from the second on.
template <typename Example>
void NumberRepeatedNames(std::vector<Example>& examples) {
  std::map<std::string, int> seen;
  for (Example& example : examples) {
    const int count = ++seen[example.name];
    if (count > 1) {
      example.name += "_" + std::to_string(count);
    }
  }
}

}  // namespace dizode::testing
