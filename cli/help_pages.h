// @brief The pages of a Help folder as the component sees them, with the stamps it compares.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace zvv {

// What tells an edited page from the one that was indexed: size and modification time.
struct PageStamp {
  std::int64_t m_size = 0;
  // Nanoseconds since 1970, UTC.
  std::int64_t m_mtime = 0;
  bool operator==(const PageStamp&) const = default;
};

inline constexpr PageStamp kUnknownStamp = {-1, -1};

// Pages by key: the Help folder's path, "/", the path below it.
using PageStamps = std::map<std::string, PageStamp>;

// Every file anywhere below `helpFolder` whose extension is "htm" or "html" in any letter case
// (a name without a dot is all extension, as the component reads it). A page whose status
// cannot be read (a link that leads nowhere) is listed with kUnknownStamp: the component
// lists it by name all the same.
PageStamps ListHelpPages(const std::string& helpFolder);

}  // namespace zvv
