// When zvv colours its table: --color against NO_COLOR, TERM and the terminal.
#include "cli/colour.h"

#include <gtest/gtest.h>

#include "cli/options.h"

namespace zvv {
namespace {

TEST(ColourWanted, FollowsTheChoiceThenTheEnvironment) {
  struct Case {
    const char* m_name;
    ColourSetting m_setting;
    bool m_colour;
  };
  const Case cases[] = {
      {"auto on a terminal", {ColourChoice::kAuto, nullptr, "xterm", true}, true},
      {"auto into a pipe", {ColourChoice::kAuto, nullptr, "xterm", false}, false},
      {"NO_COLOR with text", {ColourChoice::kAuto, "1", "xterm", true}, false},
      {"NO_COLOR empty is unset", {ColourChoice::kAuto, "", "xterm", true}, true},
      {"dumb terminal", {ColourChoice::kAuto, nullptr, "dumb", true}, false},
      {"TERM unset", {ColourChoice::kAuto, nullptr, nullptr, true}, true},
      {"always into a pipe", {ColourChoice::kAlways, nullptr, "xterm", false}, true},
      {"always outranks NO_COLOR", {ColourChoice::kAlways, "1", "dumb", false}, true},
      {"never on a terminal", {ColourChoice::kNever, nullptr, "xterm", true}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(ColourWanted(c.m_setting), c.m_colour) << c.m_name;
}

TEST(ColourOption, TakesTheThreeWordsAndRefusesOthers) {
  EXPECT_EQ(ParseCommandLine({"q"}).m_options->m_colour, ColourChoice::kAuto);
  EXPECT_EQ(ParseCommandLine({"--color=never", "q"}).m_options->m_colour, ColourChoice::kNever);
  EXPECT_EQ(ParseCommandLine({"--color", "always", "q"}).m_options->m_colour,
            ColourChoice::kAlways);
  for (const std::string word : {"", "yes", "Always", "auto "}) {
    const ParsedCommandLine parsed = ParseCommandLine({"--color=" + word, "q"});
    EXPECT_FALSE(parsed.m_options) << word;
    EXPECT_NE(parsed.m_error.find("auto, always or never"), std::string::npos) << parsed.m_error;
  }
}

}  // namespace
}  // namespace zvv
