// @brief Terminal detection without operating-system headers.
//
// The terminal host may include no system header, so a stream counts as a
// terminal when the device behind its descriptor is a terminal device, and
// the window's size comes through the platform layer. COLUMNS and LINES are
// read only as overrides: a shell sets them at start-up and they go stale
// when the window is resized.
#include "cli/terminal.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "winport/terminal_size.h"

namespace zvv {
namespace {

std::size_t EnvironmentCount(const char* name, std::size_t fallback) {
  const char* text = std::getenv(name);
  if (!text || !*text) return fallback;
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  return (*end == '\0' && value > 0 && value < 10000) ? static_cast<std::size_t>(value) : fallback;
}

TerminalSize WindowSize() {
  for (const Stream stream : {Stream::kOutput, Stream::kError, Stream::kInput}) {
    int columns = 0;
    int rows = 0;
    if (WinportTerminalSize(static_cast<int>(stream), &columns, &rows)) {
      return {static_cast<std::size_t>(columns), static_cast<std::size_t>(rows)};
    }
  }
  return {80, 24};
}

}  // namespace

bool IsTerminal(Stream stream) {
  std::error_code error;
  const std::filesystem::path device = std::filesystem::read_symlink(
      "/proc/self/fd/" + std::to_string(static_cast<int>(stream)), error);
  if (error) return false;
  const std::string name = device.string();
  return name.rfind("/dev/pts/", 0) == 0 || name.rfind("/dev/tty", 0) == 0 ||
         name == "/dev/console";
}

bool DumbTerminal() {
  const char* term = std::getenv("TERM");
  return term != nullptr && std::string_view(term) == "dumb";
}

TerminalSize GetTerminalSize() {
  const TerminalSize window = WindowSize();
  return {EnvironmentCount("COLUMNS", window.m_columns), EnvironmentCount("LINES", window.m_rows)};
}

}  // namespace zvv
