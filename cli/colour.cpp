// @brief The colour decision.
#include "cli/colour.h"

#include <cstdlib>

namespace zvv {

std::optional<ColourChoice> ParseColourChoice(std::string_view text) {
  if (text == "auto") return ColourChoice::kAuto;
  if (text == "always") return ColourChoice::kAlways;
  if (text == "never") return ColourChoice::kNever;
  return std::nullopt;
}

bool ColourWanted(const ColourSetting& setting) {
  switch (setting.m_choice) {
    case ColourChoice::kAlways:
      return true;
    case ColourChoice::kNever:
      return false;
    case ColourChoice::kAuto:
      break;
  }
  const bool noColour = setting.m_noColour != nullptr && *setting.m_noColour != '\0';
  const bool dumb = setting.m_term != nullptr && std::string_view(setting.m_term) == "dumb";
  return setting.m_terminal && !noColour && !dumb;
}

bool UseColour(ColourChoice choice, Stream stream) {
  return ColourWanted({choice, std::getenv("NO_COLOR"), std::getenv("TERM"), IsTerminal(stream)});
}

}  // namespace zvv
