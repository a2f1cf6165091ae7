// @brief Finding and running xdg-open.
#include "cli/desktop_open.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "cli/shell_word.h"

namespace fs = std::filesystem;

namespace zvv {

std::string FindDesktopOpener() {
  const char* path = std::getenv("PATH");
  if (!path) return {};
  const std::string folders = path;
  for (std::size_t start = 0; start <= folders.size();) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    // An empty entry stands for the current folder, as the shell reads it.
    const fs::path folder =
        end == start ? fs::path(".") : fs::path(folders.substr(start, end - start));
    const fs::path candidate = folder / "xdg-open";
    std::error_code error;
    const auto status = fs::status(candidate, error);
    const bool executable = (status.permissions() & (fs::perms::owner_exec | fs::perms::group_exec |
                                                     fs::perms::others_exec)) != fs::perms::none;
    if (!error && fs::is_regular_file(status) && executable) return candidate.string();
    start = end + 1;
  }
  return {};
}

OpenOutcome OpenWithDesktop(const std::string& opener, const std::string& target) {
  if (opener.empty()) return OpenOutcome::kNoOpener;
  const std::string command = ShellWord(opener) + " " + ShellWord(target) + " >&2";
  return std::system(command.c_str()) == 0 ? OpenOutcome::kOpened : OpenOutcome::kFailed;
}

void StartWithDesktop(const std::string& opener, const std::string& target) {
  const std::string command = ShellWord(opener) + " " + ShellWord(target) + " >/dev/null 2>&1 &";
  static_cast<void>(std::system(command.c_str()));
}

}  // namespace zvv
