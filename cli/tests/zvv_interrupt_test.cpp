// End to end on a pseudo-terminal: Ctrl-C while zvv builds the index.
#include <gtest/gtest.h>

#include <string>

#include "cli/tests/support/terminal_session.h"
#include "cli/tests/support/zvv_process.h"

namespace zvv::testing {
namespace {

constexpr int kPages = 3000;
constexpr tcflag_t kLineMode = ICANON | ECHO | ISIG;

TEST(ZvvInterrupt, CtrlCWhileIndexingEndsWith130AndLeavesTerminalAndIndexUsable) {
  TempApp app;
  for (int i = 0; i < kPages; ++i) {
    const std::string n = std::to_string(i);
    app.AddPage("p" + n + ".htm", "Page " + n,
                "ordinary words about printers, paper trays and toner number " + n);
  }
  TerminalSession zvv({"--install-dir", app.Root().string(), "index"}, {100, 30});
  ASSERT_TRUE(zvv.Started());
  const tcflag_t before = zvv.Mode().c_lflag;
  ASSERT_EQ(before & kLineMode, kLineMode);

  // Asked whether to build the index, the user says yes, then changes their mind.
  ASSERT_TRUE(zvv.WaitFor("(y) Yes")) << zvv.Output();
  zvv.Type("y");
  ASSERT_TRUE(zvv.WaitFor("Document ")) << zvv.Output();
  zvv.Type("ls\r");  // typed ahead for the shell
  zvv.Type("\x03");
  EXPECT_EQ(zvv.Finish(), 130);

  // The terminal is as it was: line editing, echo and signals, the cursor
  // shown, the box erased, and the line typed meanwhile still there to read.
  EXPECT_EQ(zvv.Mode().c_lflag, before);
  // The last thing written: up over the seven-line box, each line blanked,
  // back up to where the box began, and the cursor shown.
  std::string erased = "\x1b[7A\r";
  for (int line = 0; line < 7; ++line) erased += "\x1b[2K\r\n";
  erased += "\x1b[7A\r\x1b[?25h";
  const std::string& output = zvv.Output();
  EXPECT_TRUE(output.ends_with(erased)) << output.substr(output.size() - 200);
  EXPECT_EQ(zvv.PendingInput(), 3);

  // What the engine had committed is a usable index: the next search answers.
  const RunResult search =
      RunZvv({"--install-dir", app.Root().string(), "--no-ui", "toner <AND> 2999"});
  EXPECT_EQ(search.m_exitCode, 0) << search.m_err;
  EXPECT_TRUE(Contains(search.m_out, "p2999.htm")) << search.m_out << search.m_err;
}

}  // namespace
}  // namespace zvv::testing
