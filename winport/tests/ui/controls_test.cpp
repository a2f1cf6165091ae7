// Controls of a running dialog: texts, visibility, the progress bar, and the
// Windows rule that a null or destroyed window fails with
// ERROR_INVALID_WINDOW_HANDLE and changes nothing.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "winport/src/ui/progress_bar.h"
#include "winport/tests/ui/dialog_harness.h"

namespace {

using harness::ProgressLike;
using harness::RunDialog;

// Runs the sample dialog with `work` inside its start message; the dialog
// ends with 1.
void WithLiveDialog(std::function<void(HWND)> work) {
  WinportScript script;
  harness::Run run = RunDialog(ProgressLike([&](HWND dialog) {
    work(dialog);
    return 1;
  }));
  ASSERT_EQ(1, run.m_result);
}

TEST(Controls, TextsReadBackAndTruncateAsWindowsDoes) {
  WithLiveDialog([](HWND dialog) {
    HWND heading = GetDlgItem(dialog, sample::kHeading);
    ASSERT_NE(nullptr, heading);
    EXPECT_EQ(sample::kHeading, GetDlgCtrlID(heading));
    EXPECT_EQ(dialog, GetParent(heading));
    EXPECT_EQ(21, GetWindowTextLengthA(heading));

    struct Case {
      int size;
      int count;
      const char* text;
    } cases[] = {{64, 21, "Indexing, please wait"}, {9, 8, "Indexing"}, {1, 0, ""}};
    for (const Case& c : cases) {
      char buffer[64];
      std::memset(buffer, 'x', sizeof buffer);
      EXPECT_EQ(c.count, GetWindowTextA(heading, buffer, c.size)) << c.size;
      EXPECT_STREQ(c.text, buffer) << c.size;
    }

    EXPECT_TRUE(SetDlgItemTextA(dialog, sample::kPane, "Initializing . . ."));
    char buffer[64];
    EXPECT_EQ(18u, GetDlgItemTextA(dialog, sample::kPane, buffer, sizeof buffer));
    EXPECT_STREQ("Initializing . . .", buffer);
    EXPECT_EQ(18, SendMessageA(GetDlgItem(dialog, sample::kPane), WM_GETTEXT, sizeof buffer,
                               reinterpret_cast<LPARAM>(buffer)));
    EXPECT_TRUE(SetWindowTextA(GetDlgItem(dialog, sample::kPane), nullptr));
    EXPECT_EQ(0, GetWindowTextLengthA(GetDlgItem(dialog, sample::kPane)));
    EXPECT_EQ(11, GetWindowTextLengthA(dialog));  // the caption "Help System"

    SetLastError(0);
    EXPECT_EQ(nullptr, GetDlgItem(dialog, 9999));
    EXPECT_EQ(static_cast<DWORD>(ERROR_CONTROL_ID_NOT_FOUND), GetLastError());
  });
}

TEST(Controls, ShowWindowReportsThePreviousVisibility) {
  WithLiveDialog([](HWND dialog) {
    HWND bar = GetDlgItem(dialog, sample::kBar);
    HWND pane = GetDlgItem(dialog, sample::kPane);
    EXPECT_FALSE(IsWindowVisible(bar));  // not visible in the template
    EXPECT_TRUE(IsWindowVisible(pane));
    EXPECT_FALSE(ShowWindow(bar, SW_SHOW));
    EXPECT_TRUE(ShowWindow(bar, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_TRUE(ShowWindow(pane, SW_HIDE));
    EXPECT_FALSE(IsWindowVisible(pane));
    // A control shows only while its dialog does.
    ShowWindow(dialog, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(bar));
    ShowWindow(dialog, SW_SHOW);
    EXPECT_TRUE(IsWindowVisible(bar));
  });
}

TEST(Controls, ProgressBarStepsAndStartsOverPastItsMaximum) {
  WithLiveDialog([](HWND dialog) {
    HWND bar = GetDlgItem(dialog, sample::kBar);
    EXPECT_EQ(MAKELPARAM(0, 100), SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 1024)));
    EXPECT_EQ(10, SendMessageA(bar, PBM_SETSTEP, 1, 0));
    for (int i = 0; i < 1024; ++i) SendMessageA(bar, PBM_STEPIT, 0, 0);
    EXPECT_EQ(1024, SendMessageA(bar, PBM_GETPOS, 0, 0));
    EXPECT_EQ(1024, SendMessageA(bar, PBM_STEPIT, 0, 0));  // returns the previous position
    EXPECT_EQ(0, SendMessageA(bar, PBM_GETPOS, 0, 0));     // the 1025th step starts over
    EXPECT_EQ(0, SendMessageA(bar, PBM_STEPIT, 0, 0));
    EXPECT_EQ(1, SendMessageA(bar, PBM_GETPOS, 0, 0));
  });
}

struct BarCase {
  const char* name;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT result;
  int pos;
};

TEST(Controls, ProgressBarMessages) {
  // Each case starts from range 0..25, step 10, position 20.
  const BarCase cases[] = {
      {"step past max", PBM_STEPIT, 0, 0, 20, 0},
      {"set pos returns old", PBM_SETPOS, 5, 0, 20, 5},
      {"set pos clamps high", PBM_SETPOS, 99, 0, 20, 25},
      {"set pos clamps low", PBM_SETPOS, static_cast<WPARAM>(-3), 0, 20, 0},
      {"delta", PBM_DELTAPOS, 3, 0, 20, 23},
      {"delta clamps", PBM_DELTAPOS, 30, 0, 20, 25},
      {"get pos", PBM_GETPOS, 0, 0, 20, 20},
      {"low limit", PBM_GETRANGE, TRUE, 0, 0, 20},
      {"high limit", PBM_GETRANGE, FALSE, 0, 25, 20},
      {"range32 returns old", PBM_SETRANGE32, 1, 50, MAKELPARAM(0, 25), 20},
  };
  for (const BarCase& c : cases) {
    winport::ui::ProgressState bar{0, 25, 20, 10};
    LRESULT result = -99;
    ASSERT_TRUE(winport::ui::HandleProgressMessage(bar, c.message, c.wParam, c.lParam, &result))
        << c.name;
    EXPECT_EQ(c.result, result) << c.name;
    EXPECT_EQ(c.pos, bar.m_pos) << c.name;
  }
  winport::ui::ProgressState bar;
  LRESULT result = 0;
  EXPECT_FALSE(winport::ui::HandleProgressMessage(bar, WM_SETTEXT, 0, 0, &result));
}

TEST(Controls, NullAndDestroyedWindowsFailAndChangeNothing) {
  HWND staleDialog = nullptr;
  HWND stalePane = nullptr;
  WithLiveDialog([&](HWND dialog) {
    staleDialog = dialog;
    stalePane = GetDlgItem(dialog, sample::kPane);
  });
  ASSERT_NE(nullptr, stalePane);

  WithLiveDialog([&](HWND dialog) {
    HWND pane = GetDlgItem(dialog, sample::kPane);
    ASSERT_NE(stalePane, pane);  // handles are never reused
    SetWindowTextA(pane, "current");
    RECT before{};
    GetWindowRect(dialog, &before);

    struct Call {
      const char* name;
      std::function<bool(HWND)> fails;  // true when the call reported failure
    } calls[] = {
        {"ShowWindow", [](HWND h) { return !ShowWindow(h, SW_SHOW); }},
        {"IsWindowVisible", [](HWND h) { return !IsWindowVisible(h); }},
        {"SetWindowTextA", [](HWND h) { return !SetWindowTextA(h, "x"); }},
        {"GetWindowTextA",
         [](HWND h) {
           char b[8] = "keep";
           return GetWindowTextA(h, b, sizeof b) == 0 && b[0] == '\0';
         }},
        {"GetWindowTextLengthA", [](HWND h) { return GetWindowTextLengthA(h) == 0; }},
        {"SetDlgItemTextA", [](HWND h) { return !SetDlgItemTextA(h, sample::kPane, "x"); }},
        {"GetDlgItem", [](HWND h) { return GetDlgItem(h, sample::kPane) == nullptr; }},
        {"SendMessageA",
         [](HWND h) { return SendMessageA(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")) == 0; }},
        {"PostMessageA", [](HWND h) { return !PostMessageA(h, WM_USER + 1, 0, 0); }},
        {"EndDialog", [](HWND h) { return !EndDialog(h, 1); }},
        {"UpdateWindow", [](HWND h) { return !UpdateWindow(h); }},
        {"RedrawWindow", [](HWND h) { return !RedrawWindow(h, nullptr, nullptr, RDW_UPDATENOW); }},
        {"InvalidateRect", [](HWND h) { return !InvalidateRect(h, nullptr, TRUE); }},
        {"GetWindowRect",
         [](HWND h) {
           RECT r{};
           return !GetWindowRect(h, &r);
         }},
        {"SetWindowPos", [](HWND h) { return !SetWindowPos(h, HWND_TOP, 5, 5, 0, 0, SWP_NOSIZE); }},
        {"MoveWindow", [](HWND h) { return !MoveWindow(h, 1, 1, 1, 1, TRUE); }},
        {"DestroyWindow", [](HWND h) { return !DestroyWindow(h); }},
    };
    for (const Call& call : calls) {
      for (HWND bad : {static_cast<HWND>(nullptr), staleDialog, stalePane}) {
        SetLastError(0);
        EXPECT_TRUE(call.fails(bad)) << call.name << " " << bad;
        EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE), GetLastError())
            << call.name << " " << bad;
      }
    }
    EXPECT_FALSE(IsWindow(nullptr));
    EXPECT_FALSE(IsWindow(staleDialog));
    // The live dialog saw none of it.
    char text[16];
    GetWindowTextA(pane, text, sizeof text);
    EXPECT_STREQ("current", text);
    RECT after{};
    GetWindowRect(dialog, &after);
    EXPECT_EQ(0, std::memcmp(&before, &after, sizeof before));
    EXPECT_TRUE(IsWindowVisible(dialog));
  });
}

TEST(Controls, CommonControlsCheckTheirRecord) {
  INITCOMMONCONTROLSEX good{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
  EXPECT_TRUE(InitCommonControlsEx(&good));
  INITCOMMONCONTROLSEX bad{3, ICC_PROGRESS_CLASS};
  SetLastError(0);
  EXPECT_FALSE(InitCommonControlsEx(&bad));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
  EXPECT_FALSE(InitCommonControlsEx(nullptr));
}

}  // namespace
