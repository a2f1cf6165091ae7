// What the scripted driver sees at each repaint, and the fixed geometry that
// makes rectangles reproducible.
#include <gtest/gtest.h>

#include "winport/tests/ui/dialog_harness.h"

namespace {

using harness::ProgressLike;
using harness::RunDialog;

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(Repaint, EveryForcedRepaintIsSeenWithTheControlsState) {
  WinportScript script;
  int callbacks = 0;
  script.OnPaint([&](const WinportPaintSnapshot&) { ++callbacks; });
  RunDialog(ProgressLike([](HWND dialog) {
    HWND bar = GetDlgItem(dialog, sample::kBar);
    ShowWindow(bar, SW_SHOW);
    SetDlgItemTextA(dialog, sample::kPane, "Initializing . . .");
    SendMessageA(bar, PBM_SETSTEP, 1, 0);
    SendMessageA(bar, PBM_SETRANGE, 0, 0x04000000);
    SendMessageA(bar, PBM_STEPIT, 0, 0);
    UpdateWindow(dialog);
    ShowWindow(GetDlgItem(dialog, sample::kPane), SW_HIDE);
    ShowWindow(GetDlgItem(dialog, sample::kCount), SW_SHOW);
    SetDlgItemTextA(dialog, sample::kCount, "D12  of 250");
    SendMessageA(bar, PBM_STEPIT, 0, 0);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    // Marked for repaint but ended before the loop is idle: no repaint.
    InvalidateRect(dialog, nullptr, TRUE);
    return 1;
  }));
  std::vector<WinportPaintSnapshot> paints = script.Paints();
  ASSERT_EQ(3u, paints.size());
  EXPECT_EQ(3, callbacks);

  const WinportPaintSnapshot& first = paints[0];
  EXPECT_EQ("Help System", first.m_caption);
  ASSERT_EQ(4u, first.m_controls.size());
  EXPECT_EQ(sample::kHeading, first.m_controls[0].m_id);  // template order
  EXPECT_TRUE(first.Control(sample::kHeading)->m_visible);
  EXPECT_FALSE(first.Control(sample::kBar)->m_visible);
  EXPECT_TRUE(first.Control(sample::kPane)->m_visible);
  EXPECT_EQ("", first.Control(sample::kPane)->m_text);
  EXPECT_FALSE(first.Control(sample::kCount)->m_visible);
  EXPECT_EQ("Static", first.Control(sample::kCount)->m_text);

  const WinportPaintSnapshot& second = paints[1];
  EXPECT_TRUE(second.Control(sample::kBar)->m_visible);
  EXPECT_EQ(1, second.Control(sample::kBar)->m_pos);
  EXPECT_EQ(1024, second.Control(sample::kBar)->m_max);
  EXPECT_EQ("Initializing . . .", second.Control(sample::kPane)->m_text);

  const WinportPaintSnapshot& third = paints[2];
  EXPECT_FALSE(third.Control(sample::kPane)->m_visible);
  EXPECT_TRUE(third.Control(sample::kCount)->m_visible);
  EXPECT_EQ("D12  of 250", third.Control(sample::kCount)->m_text);
  EXPECT_EQ(2, third.Control(sample::kBar)->m_pos);
}

TEST(Repaint, InvalidatedDialogIsPaintedWhenTheLoopIsIdle) {
  WinportScript script;
  int paints = 0;
  harness::Run run = RunDialog([&](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
    if (message == WM_PAINT && ++paints == 1) {
      InvalidateRect(dialog, nullptr, TRUE);
      return TRUE;
    }
    if (message == WM_PAINT) return EndDialog(dialog, 9);
    return FALSE;
  });
  EXPECT_EQ(9, run.m_result);
  EXPECT_EQ(2, paints);
  EXPECT_EQ(2u, script.Paints().size());
}

TEST(Geometry, DialogUnitsAndFrameGiveTheOuterRectangle) {
  WinportScript script;
  RunDialog(ProgressLike([](HWND dialog) {
    // 207 x 103 units: 311 x 167 pixels of client area (6 x 13 base units,
    // rounded), plus a 3-pixel frame and a 19-pixel caption.
    RECT window{};
    EXPECT_TRUE(GetWindowRect(dialog, &window));
    EXPECT_TRUE(SameRect(RECT{0, 0, 317, 192}, window));
    RECT client{};
    EXPECT_TRUE(GetClientRect(dialog, &client));
    EXPECT_TRUE(SameRect(RECT{0, 0, 311, 167}, client));
    RECT units{4, 86, 4 + 197, 86 + 14};
    EXPECT_TRUE(MapDialogRect(dialog, &units));
    EXPECT_TRUE(SameRect(RECT{6, 140, 302, 163}, units));

    // Moving without resizing keeps the size; controls follow in screen terms.
    EXPECT_TRUE(SetWindowPos(dialog, HWND_TOP, 450, 350, 0, 0, SWP_NOSIZE));
    EXPECT_TRUE(GetWindowRect(dialog, &window));
    EXPECT_TRUE(SameRect(RECT{450, 350, 767, 542}, window));
    RECT bar{};
    EXPECT_TRUE(GetWindowRect(GetDlgItem(dialog, sample::kBar), &bar));
    EXPECT_TRUE(SameRect(RECT{450 + 3 + 6, 350 + 22 + 140, 450 + 3 + 302, 350 + 22 + 163}, bar));
    EXPECT_TRUE(MoveWindow(dialog, -10, -20, 300, 200, TRUE));
    EXPECT_TRUE(GetWindowRect(dialog, &window));
    EXPECT_TRUE(SameRect(RECT{-10, -20, 290, 180}, window));
    return 1;
  }));
  ASSERT_FALSE(script.Paints().empty());
  EXPECT_TRUE(SameRect(RECT{0, 0, 317, 192}, script.Paints()[0].m_window));
}

TEST(Geometry, ScreenSizeComesFromTheDisplay) {
  WinportScript script;
  script.SetScreenSize(640, 480);
  EXPECT_EQ(640, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(480, GetSystemMetrics(SM_CYSCREEN));
}

}  // namespace
