// @brief Where each page's name lies in its title. Titles often wrap the page's own name in the
// help's: "install — CMake 3.25.1 Documentation", "Log Files - Apache HTTP Server Version 2.4".
// The words that end most titles of the collection are the help's, not the page's: the rest is
// what a query that names the page should cover.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sqlite_db.h"

namespace dizode {

// The longest run of words (search keys, as pages.titlekey holds them) that ends at least half
// of the titles and at least kMinSuffixPages of them; empty when there is none.
inline constexpr size_t kMinSuffixPages = 5;
std::string CommonTitleSuffix(const std::vector<std::string>& titleKeys);

// The page's name among its title's positions, [0, length) packed as its length: the title
// without `suffix` when it ends with it and holds more; 0 when the whole title names the page.
int64_t NameInTitle(std::string_view titleKey, std::string_view suffix);

// The run NameInTitle gives, or the whole title for 0.
void UnpackName(int64_t packed, int titleLength, int& begin, int& length);

// Sets pages.name of every page whose name changed, with the suffix of the collection's titles
// as they are now.
void UpdateTitleNames(const Db& db);

}  // namespace dizode
