// @brief The command line of zvv: which command to run and with what settings.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cli/colour.h"

namespace zvv {

enum class Command {
  kSearch,
  kIndex,
  kStatus,
  kWatch,
  kRegister,
  kUnregister,
  kServe,
  kVersion,
  kHelp
};

struct Options {
  Command m_command = Command::kSearch;
  std::string m_query;
  // Empty: the bundled sample application.
  std::string m_installDir;
  bool m_titleOnly = false;
  std::vector<std::string> m_dirs;
  bool m_json = false;
  // Unset: show the component's prompt and progress only on an interactive terminal.
  std::optional<bool> m_showUI;
  // Hits printed per answer; 0 prints them all.
  std::size_t m_limit = 20;
  // serve: the port to listen on (0: any free one), and whether to open a browser on it.
  int m_port = 0;
  bool m_open = false;
  // search: the hit --open names, counted from 1 (0 when no number was given).
  std::size_t m_openHit = 0;
  // Hits printed with their full paths rather than their paths in the Help folder.
  bool m_absolute = false;
  ColourChoice m_colour = ColourChoice::kAuto;
};

// Either the options or the reason the command line was refused.
struct ParsedCommandLine {
  std::optional<Options> m_options;
  std::string m_error;
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

// The four forms of the command line, printed after a usage error.
std::string SynopsisText();
// The --help text.
std::string UsageText();

}  // namespace zvv
