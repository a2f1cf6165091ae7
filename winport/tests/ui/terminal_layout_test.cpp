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

TEST(TerminalLayout, BoxWidthFollowsTheDialogWithinTheTerminal) {
  EXPECT_EQ(52, winport::ui::TerminalBoxWidth(RECT{0, 0, 317, 192}, 100));
  EXPECT_EQ(39, winport::ui::TerminalBoxWidth(RECT{0, 0, 317, 192}, 40));
}

}  // namespace
