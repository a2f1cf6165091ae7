// End to end on a pseudo-terminal: the result table takes the window's real
// width (COLUMNS only overrides it), measures characters in display columns,
// and colours by the conventions of the environment.
#include <gtest/gtest.h>

#include <string>

#include "cli/display_width.h"
#include "cli/tests/support/terminal_session.h"
#include "cli/tests/support/zvv_process.h"

namespace zvv::testing {
namespace {

constexpr char kWide[] = "\xE6\xBC\xA2";  // U+6F22, two columns
constexpr char kEllipsis[] = "\xE2\x80\xA6";

class ZvvOnTerminal : public ::testing::Test {
 protected:
  ZvvOnTerminal() {
    std::string longTitle;
    for (int i = 0; i < 30; ++i) longTitle += kWide;  // 60 columns
    m_app.AddPage("a.htm", std::string(kWide) + kWide + " printer", "printer");
    m_app.AddPage("guide/b.htm", "Printer setup", "printer");
    m_app.AddPage("c.htm", longTitle, "printer");
    EXPECT_EQ(RunZvv({"--install-dir", m_app.Root().string(), "--no-ui", "index"}).m_exitCode, 0);
  }

  // The table's lines as the terminal received them, without line ends.
  std::vector<std::string> Table(TerminalSize size,
                                 const std::vector<std::pair<std::string, std::string>>& env = {},
                                 const std::string& colour = "--color=never") {
    TerminalSession zvv({"--install-dir", m_app.Root().string(), "--no-ui", colour, "printer"},
                        size, env);
    EXPECT_EQ(zvv.Finish(), 0) << zvv.Output();
    std::vector<std::string> lines = Lines(zvv.Output());
    for (std::string& line : lines) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
    }
    // The folder the paths lie in comes once above the table.
    if (!lines.empty() && lines[0].starts_with("Help folder: ")) lines.erase(lines.begin());
    return lines;
  }

  TempApp m_app;
};

TEST_F(ZvvOnTerminal, TableFitsTheWindowsRealWidthAndKeepsThePathColumn) {
  struct Case {
    int m_columns;
    std::vector<std::pair<std::string, std::string>> m_env;
    std::size_t m_fitTo;
    bool m_cut;
  };
  const Case cases[] = {
      {40, {}, 40, true},
      {200, {}, 200, false},
      {40, {{"COLUMNS", "200"}}, 200, false},  // the user's override wins
  };
  for (const Case& c : cases) {
    const std::vector<std::string> lines = Table({c.m_columns, 24}, c.m_env);
    ASSERT_EQ(lines.size(), 4u);
    std::size_t pathColumn = std::string::npos;
    for (std::size_t i = 0; i < 3; ++i) {
      const std::size_t at = lines[i].find_last_of(' ') + 1;
      const std::size_t column = DisplayWidth(lines[i].substr(0, at));
      if (i == 0) pathColumn = column;
      EXPECT_EQ(column, pathColumn) << c.m_columns << ": " << lines[i];
      EXPECT_LE(DisplayWidth(lines[i]), c.m_fitTo) << lines[i];
    }
    EXPECT_EQ(Contains(lines[0] + lines[1] + lines[2], kEllipsis), c.m_cut) << c.m_columns;
  }
}

TEST_F(ZvvOnTerminal, ColourFollowsTheChoiceAndTheEnvironment) {
  struct Case {
    const char* m_name;
    std::vector<std::pair<std::string, std::string>> m_env;
    const char* m_colour;
    bool m_escapes;
  };
  const Case cases[] = {
      {"auto", {}, "--color=auto", true},
      {"NO_COLOR", {{"NO_COLOR", "1"}}, "--color=auto", false},
      {"dumb terminal", {{"TERM", "dumb"}}, "--color=auto", false},
      {"never", {}, "--color=never", false},
      {"always on a dumb terminal", {{"TERM", "dumb"}}, "--color=always", true},
  };
  for (const Case& c : cases) {
    std::string text;
    for (const std::string& line : Table({80, 24}, c.m_env, c.m_colour)) text += line;
    EXPECT_EQ(Contains(text, "\x1b["), c.m_escapes) << c.m_name;
  }
}

}  // namespace
}  // namespace zvv::testing
