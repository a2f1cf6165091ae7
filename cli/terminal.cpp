// @brief Terminal detection without operating-system headers.
//
// The platform layer offers no console functions, and the terminal host may
// include no system header, so a stream counts as a terminal when the device
// behind its descriptor is a terminal device. The size comes from the
// environment that shells keep in step with the window.
#include "cli/terminal.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace zvv {
namespace {

std::size_t EnvironmentCount(const char* name, std::size_t fallback) {
  const char* text = std::getenv(name);
  if (!text || !*text) return fallback;
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  return (*end == '\0' && value > 0 && value < 10000) ? static_cast<std::size_t>(value) : fallback;
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

TerminalSize GetTerminalSize() {
  return {EnvironmentCount("COLUMNS", 80), EnvironmentCount("LINES", 24)};
}

}  // namespace zvv
