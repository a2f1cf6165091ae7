// @brief Whether zvv colours what it prints: the --color choice against the
// conventions of the environment.
#pragma once

#include <optional>
#include <string_view>

#include "cli/terminal.h"

namespace zvv {

enum class ColourChoice { kAuto, kAlways, kNever };

// "auto", "always" or "never"; anything else is no choice.
std::optional<ColourChoice> ParseColourChoice(std::string_view text);

// What the automatic choice looks at.
struct ColourSetting {
  ColourChoice m_choice = ColourChoice::kAuto;
  // NO_COLOR and TERM as the environment holds them (null when unset).
  const char* m_noColour = nullptr;
  const char* m_term = nullptr;
  bool m_terminal = false;
};

// "always" and "never" decide alone: a choice made on the command line
// outranks the environment. "auto" colours a terminal only, and not when
// NO_COLOR holds any text (an empty NO_COLOR counts as unset) nor when TERM
// says the terminal is dumb.
bool ColourWanted(const ColourSetting& setting);

// ColourWanted for `stream` in this process's environment.
bool UseColour(ColourChoice choice, Stream stream);

}  // namespace zvv
