// @brief Matching file names against the "*" and "?" patterns of folder searches.
#pragma once

#include <string_view>

namespace winport::detail {

bool HasWildcard(std::string_view pattern);

// "*" matches any run of characters, "?" exactly one; letters match without
// regard to ASCII case, as Windows file systems compare names. A pattern that
// ends in ".*" also matches the name without an extension ("*.*" matches
// every name, "readme.*" matches "readme"), as Windows searches do.
bool MatchesWildcard(std::string_view pattern, std::string_view name);

}  // namespace winport::detail
