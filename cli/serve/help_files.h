// @brief Which file of the Help folder a request names, if any may be served.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace zvv {

// The file that `relative` (a request's decoded path below the help prefix)
// names in `helpFolder`, or nullopt when it must not be served: a name with
// an empty, "." or ".." part, a backslash or a NUL; anything but a regular
// file (folders are never listed); a file whose real location lies outside
// the Help folder, unless it is a help page, which the scan reaches through
// the same links and whose text search already shows.
std::optional<std::filesystem::path> FindHelpFile(const std::filesystem::path& helpFolder,
                                                  std::string_view relative);

}  // namespace zvv
