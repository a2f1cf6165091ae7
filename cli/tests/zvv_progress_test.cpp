// End to end on a pseudo-terminal: the progress display while zvv builds the
// index counts documents, its bar only grows, a resize redraws it whole, and a
// dumb terminal gets none of it.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "cli/display_width.h"
#include "cli/tests/support/terminal_session.h"
#include "cli/tests/support/zvv_process.h"

namespace zvv::testing {
namespace {

// Pages enough that the component's bar, one step per message over a range
// of 1024, wraps back to its start before the last document.
void AddPages(TempApp& app, int pages) {
  for (int i = 1; i <= pages; ++i) {
    const std::string n = std::to_string(i);
    app.AddPage("p" + n + ".htm", "Page " + n, "toner and paper for printer " + n);
  }
}

// Runs "zvv index" on the terminal, answering yes to the question whether to build.
void StartIndexing(TerminalSession& zvv) {
  ASSERT_TRUE(zvv.Started());
  ASSERT_TRUE(zvv.WaitFor("(y) Yes")) << zvv.Output();
  zvv.Type("y");
  ASSERT_TRUE(zvv.WaitFor("Document ")) << zvv.Output();
}

TEST(ZvvProgress, ShowsDocumentNOfMAndABarThatOnlyGrows) {
  constexpr int kPages = 1200;
  TempApp app;
  AddPages(app, kPages);
  TerminalSession zvv({"--install-dir", app.Root().string(), "index"}, {100, 30});
  StartIndexing(zvv);
  ASSERT_EQ(zvv.Finish(), 0) << zvv.Output();

  // Each drawing of the box shows the count and the bar's percentage.
  static const std::regex kFrame(R"(Document (\d+) of (\d+)[^%]*\] +(\d+)%)");
  const std::string output = zvv.Output();
  int frames = 0;
  int lastDocument = 0;
  int lastPercent = 0;
  for (std::sregex_iterator it(output.begin(), output.end(), kFrame), end; it != end; ++it) {
    const int document = std::stoi((*it)[1]);
    const int percent = std::stoi((*it)[3]);
    ASSERT_EQ(std::stoi((*it)[2]), kPages);
    EXPECT_GE(document, lastDocument);
    EXPECT_EQ(percent, document * 100 / kPages) << "at document " << document;
    EXPECT_GE(percent, lastPercent) << "at document " << document;
    lastDocument = document;
    lastPercent = percent;
    ++frames;
  }
  EXPECT_GT(frames, kPages / 2);
  EXPECT_EQ(lastDocument, kPages);
  EXPECT_EQ(lastPercent, 100);
}

TEST(ZvvProgress, ANarrowedWindowGetsTheBoxRedrawnWithinItsWidth) {
  constexpr int kNarrow = 40;
  TempApp app;
  AddPages(app, 3000);
  TerminalSession zvv({"--install-dir", app.Root().string(), "index"}, {100, 30});
  StartIndexing(zvv);
  const std::size_t resized = zvv.Output().size();
  zvv.Resize({kNarrow, 30});
  // Up over the rows the narrowed terminal wrapped the box onto, then clear below.
  ASSERT_TRUE(zvv.WaitFor("\x1b[J", resized)) << zvv.Output().substr(resized);
  ASSERT_EQ(zvv.Finish(), 0);

  const std::string output = zvv.Output();
  const std::size_t redraw = output.find("\x1b[J", resized);
  // The box's lines from the redraw on, until the end shows the cursor again.
  const std::string after = output.substr(redraw, output.find("\x1b[?25h", redraw) - redraw);
  int boxLines = 0;
  for (std::string line : Lines(after)) {
    line = WithoutEscapes(line);
    std::erase(line, '\r');
    if (line.empty()) continue;
    EXPECT_LT(DisplayWidth(line), static_cast<std::size_t>(kNarrow)) << line;
    ++boxLines;
  }
  EXPECT_GE(boxLines, 7);
}

TEST(ZvvProgress, ADumbTerminalGetsNeitherQuestionNorBoxNorEscapes) {
  TempApp app;
  AddPages(app, 20);
  TerminalSession zvv({"--install-dir", app.Root().string(), "index"}, {80, 24},
                      {{"TERM", "dumb"}});
  ASSERT_TRUE(zvv.Started());
  // Nobody is asked: a question the terminal cannot draw would be declined.
  EXPECT_EQ(zvv.Finish(), 0) << zvv.Output();
  EXPECT_TRUE(Contains(zvv.Output(), "Created the help index")) << zvv.Output();
  EXPECT_FALSE(Contains(zvv.Output(), "\x1b")) << zvv.Output();
  EXPECT_FALSE(Contains(zvv.Output(), "\u2500")) << zvv.Output();  // box drawing

  // Asked for all the same, zvv says why it cannot.
  TerminalSession forced({"--install-dir", app.Root().string(), "--ui", "printer"}, {80, 24},
                         {{"TERM", "dumb"}});
  EXPECT_EQ(forced.Finish(), 0) << forced.Output();
  EXPECT_TRUE(Contains(forced.Output(), "cannot redraw (TERM=dumb)")) << forced.Output();
}

}  // namespace
}  // namespace zvv::testing
