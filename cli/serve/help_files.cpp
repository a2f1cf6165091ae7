// @brief Mapping request paths to files of the Help folder.
#include "cli/serve/help_files.h"

#include <system_error>

#include "cli/serve/content_type.h"

namespace zvv {
namespace fs = std::filesystem;
namespace {

// Every part of the path is a plain name: nothing climbs out or stands for
// the folder itself, whatever the system makes of it.
bool PlainNames(std::string_view relative) {
  if (relative.empty()) return false;
  std::size_t start = 0;
  for (;;) {
    const auto slash = relative.find('/', start);
    const std::string_view part = relative.substr(start, slash - start);
    if (part.empty() || part == "." || part == "..") return false;
    if (part.find_first_of(std::string_view("\\\0", 2)) != std::string_view::npos) return false;
    if (slash == std::string_view::npos) return true;
    start = slash + 1;
  }
}

bool Inside(const fs::path& file, const fs::path& folder) {
  const fs::path rest = file.lexically_relative(folder);
  return !rest.empty() && *rest.begin() != "..";
}

}  // namespace

std::optional<fs::path> FindHelpFile(const fs::path& helpFolder, std::string_view relative) {
  if (!PlainNames(relative)) return std::nullopt;
  const fs::path file = helpFolder / fs::path(relative);
  std::error_code error;
  if (!fs::is_regular_file(file, error)) return std::nullopt;
  const fs::path real = fs::canonical(file, error);
  if (error) return std::nullopt;
  const fs::path realFolder = fs::canonical(helpFolder, error);
  if (error) return std::nullopt;
  if (!Inside(real, realFolder) && !IsHelpPageName(file.filename().string())) return std::nullopt;
  return file;
}

}  // namespace zvv
