// End to end on a pseudo-terminal: zvv watch edits its lines, recalls earlier queries and ends
// Ctrl-D on a fresh line, as a user at a terminal meets it.
#include <gtest/gtest.h>
#include <termios.h>

#include <chrono>
#include <thread>

#include "cli/tests/support/terminal_session.h"
#include "cli/tests/support/zvv_process.h"

namespace zvv::testing {
namespace {

// Keys typed while the terminal is still in line mode would be taken by the terminal itself
// (Ctrl-D in line mode is no byte at all): wait until the line editor has switched it.
bool WaitForCharacterMode(const TerminalSession& zvv) {
  for (int i = 0; i < 1000; ++i) {
    if ((zvv.Mode().c_lflag & ICANON) == 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

constexpr char kUp[] = "\x1b[A";
constexpr char kBackspace[] = "\x7f";

TEST(ZvvWatchOnTerminal, EditsRecallsAndEndsOnAFreshLine) {
  TempApp app;
  app.AddPage("alpha.htm", "Alpha", "alpha");
  app.AddPage("beta.htm", "Beta", "beta");
  ASSERT_EQ(RunZvv({"--install-dir", app.Root().string(), "--no-ui", "index"}).m_exitCode, 0);
  TerminalSession zvv({"watch", "--install-dir", app.Root().string(), "--no-ui", "--color=never"},
                      {80, 24});
  ASSERT_TRUE(zvv.Started());
  ASSERT_TRUE(zvv.WaitFor("zvv> ")) << zvv.Output();

  struct Step {
    std::string keys;
    std::string page;  // the one hit the answer shows
  };
  const Step steps[] = {
      {std::string("alphx") + kBackspace + "a\r", "alpha.htm"},  // a typo rubbed out
      {"beta\r", "beta.htm"},
      {std::string(kUp) + kUp + "\r", "alpha.htm"},  // two queries back
      {std::string(kUp) + "\r", "alpha.htm"},        // the one just repeated
      {std::string(kUp) + kUp + "\r", "beta.htm"},   // a repeat is kept once
  };
  for (const Step& step : steps) {
    ASSERT_TRUE(WaitForCharacterMode(zvv));
    const std::size_t from = zvv.Output().size();
    zvv.Type(step.keys);
    ASSERT_TRUE(zvv.WaitFor("1 hit\r\n", from)) << WithoutEscapes(zvv.Output().substr(from));
    EXPECT_TRUE(zvv.Output().find(step.page, from) != std::string::npos)
        << WithoutEscapes(zvv.Output().substr(from));
    ASSERT_TRUE(zvv.WaitFor("zvv> ", zvv.Output().find("1 hit\r\n", from)));
  }

  ASSERT_TRUE(WaitForCharacterMode(zvv));
  zvv.Type("\x04");  // Ctrl-D on an empty line
  EXPECT_EQ(zvv.Finish(), 0);
  // Whatever the line editor echoes, the terminal is left at the start of a new line.
  EXPECT_TRUE(zvv.Output().ends_with("\n")) << WithoutEscapes(zvv.Output());
}

}  // namespace
}  // namespace zvv::testing
