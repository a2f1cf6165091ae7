// The terminal display's box: a fixed number of lines whatever is visible, so
// that repaints overwrite the same lines, and texts that fit its width.
#include <gtest/gtest.h>

#include "winport/src/ui/terminal_layout.h"
#include "winport/win32.h"

namespace {

using winport::ui::LayoutDialog;
using winport::ui::TextColumns;
using winport::ui::WrapText;

WinportControlState Control(int id, const char* className, const char* text, bool visible,
                            DWORD style, RECT rect) {
  WinportControlState state;
  state.m_id = id;
  state.m_className = className;
  state.m_text = text;
  state.m_visible = visible;
  state.m_style = style;
  state.m_rect = rect;
  state.m_max = 1024;
  return state;
}

WinportPaintSnapshot Sample(bool paneVisible) {
  WinportPaintSnapshot snapshot;
  snapshot.m_caption = "Help System";
  snapshot.m_window = RECT{0, 0, 317, 192};
  snapshot.m_controls = {
      Control(202, "static", "Indexing Help, please wait . . .", true, SS_CENTER, {0, 7, 311, 23}),
      Control(204, "msctls_progress32", "Progress1", true, WS_BORDER, {6, 140, 302, 163}),
      Control(205, "edit", "Initializing . . .", paneVisible, ES_MULTILINE, {11, 41, 300, 117}),
      Control(206, "static", "D12  of 250", !paneVisible, SS_CENTER, {0, 63, 288, 83}),
  };
  snapshot.m_controls[1].m_pos = 256;
  return snapshot;
}

TEST(TerminalLayout, SameLineCountWhicheverOfPaneAndCountLineShows) {
  for (bool unicode : {false, true}) {
    std::vector<std::string> pane = LayoutDialog(Sample(true), 52, unicode);
    std::vector<std::string> count = LayoutDialog(Sample(false), 52, unicode);
    // Border, heading, three pane lines, bar, border.
    ASSERT_EQ(7u, pane.size());
    ASSERT_EQ(pane.size(), count.size());
    for (const auto* lines : {&pane, &count}) {
      for (const std::string& line : *lines) EXPECT_EQ(52, TextColumns(line)) << line;
    }
    EXPECT_NE(std::string::npos, pane[0].find("Help System"));
    EXPECT_NE(std::string::npos, pane[1].find("Indexing Help, please wait . . ."));
    EXPECT_NE(std::string::npos, pane[2].find("Initializing . . ."));
    EXPECT_EQ(std::string::npos, pane[2].find("D12"));
    EXPECT_NE(std::string::npos, count[2].find("D12  of 250"));
    EXPECT_NE(std::string::npos, pane[5].find(" 25%"));
  }
}

TEST(TerminalLayout, HiddenBarLeavesABlankLine) {
  WinportPaintSnapshot snapshot = Sample(true);
  snapshot.m_controls[1].m_visible = false;
  std::vector<std::string> lines = LayoutDialog(snapshot, 40, false);
  ASSERT_EQ(7u, lines.size());
  EXPECT_EQ("|" + std::string(38, ' ') + "|", lines[5]);
}

TEST(TerminalLayout, WrapsAtBlanksAndKeepsLineBreaks) {
  struct Case {
    const char* text;
    int width;
    std::vector<std::string> lines;
  } cases[] = {
      {"one two three", 7, {"one two", "three"}},
      {"abcdefghij", 4, {"abcd", "efgh", "ij"}},
      {"a\r\nb", 10, {"a", "b"}},
      {"", 5, {""}},
      {"h\xc3\xa9llo w\xc3\xb6rld",
       5,
       {"h\xc3\xa9llo", "w\xc3\xb6rld"}},  // 2-byte letters count once
  };
  for (const Case& c : cases) EXPECT_EQ(c.lines, WrapText(c.text, c.width)) << c.text;
}

TEST(TerminalProgress, ReadsACountOnlyWhereTheTextEndsInOne) {
  struct Case {
    const char* text;
    bool counted;
    const char* label;
    long long done;
    long long total;
  } cases[] = {
      {"Document 12  of 250", true, "Document", 12, 250},
      {"Document 250 of 250 ", true, "Document", 250, 250},
      {"12 of 250", true, "", 12, 250},
      {"D12  of 250", false, "", 0, 0},  // a name, not a count
      {"Document 0 of 5", false, "", 0, 0},
      {"Document 6 of 5", false, "", 0, 0},
      {"Document 3 of", false, "", 0, 0},
      {"Document 3of 5", false, "", 0, 0},
      {"Starting indexing of 1500 documents", false, "", 0, 0},
      {"", false, "", 0, 0},
  };
  for (const Case& c : cases) {
    winport::ui::Count count;
    ASSERT_EQ(c.counted, winport::ui::ReadCount(c.text, &count)) << c.text;
    if (!c.counted) continue;
    EXPECT_EQ(c.label, count.m_label) << c.text;
    EXPECT_EQ(c.done, count.m_done) << c.text;
    EXPECT_EQ(c.total, count.m_total) << c.text;
  }
}

// The percentage on the bar's line of a box.
int ShownPercent(const std::vector<std::string>& lines) {
  const std::string& bar = lines[5];
  const std::size_t sign = bar.rfind('%');
  const std::size_t start = bar.find_last_of(' ', sign) + 1;
  return std::stoi(bar.substr(start, sign - start));
}

TEST(TerminalProgress, BarFollowsTheCountAndNeverGoesBack) {
  // The control steps once per message and wraps; the count says how far the work is.
  struct Step {
    const char* count;  // null: the message pane shows instead
    int controlPos;
    int percent;
  } steps[] = {
      {nullptr, 10, 0},  // before any count the control's position: 10 of 1024
      {"Document 1  of 400", 11, 0},
      {"Document 100  of 400", 400, 25},
      {"Document 300  of 400", 1000, 75},
      {"Document 320  of 400", 3, 80},  // the control wrapped to its start
      {nullptr, 5, 80},                 // no count: never less than shown
      {"Document 400  of 400", 90, 100},
  };
  winport::ui::BarMemory memory;
  for (const Step& step : steps) {
    WinportPaintSnapshot snapshot = Sample(step.count == nullptr);
    snapshot.m_controls[1].m_pos = step.controlPos;
    if (step.count != nullptr) {
      snapshot.m_controls[3].m_text = step.count;
    }
    std::vector<std::string> lines = LayoutDialog(snapshot, 52, false, &memory);
    ASSERT_EQ(7u, lines.size());
    EXPECT_EQ(step.percent, ShownPercent(lines)) << step.controlPos;
    // The count reads as one phrase, however the dialog spaced it.
    if (step.count != nullptr) {
      EXPECT_NE(std::string::npos, lines[2].find(" of 400 ")) << lines[2];
    }
  }
}

TEST(TerminalLayout, BoxWidthFollowsTheDialogWithinTheTerminal) {
  EXPECT_EQ(52, winport::ui::TerminalBoxWidth(RECT{0, 0, 317, 192}, 100));
  EXPECT_EQ(39, winport::ui::TerminalBoxWidth(RECT{0, 0, 317, 192}, 40));
}

}  // namespace
