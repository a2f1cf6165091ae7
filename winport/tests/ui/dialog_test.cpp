// The modal dialog's message order and end codes, as Windows delivers them:
// WM_INITDIALOG with the caller's parameter, the first WM_PAINT, then posted
// messages and keys in arrival order until EndDialog.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "winport/tests/ui/dialog_harness.h"
#include "winport/ui_driver.h"

namespace {

using harness::Event;
using harness::ProgressLike;
using harness::RunDialog;

const std::vector<UINT> kInteresting = {WM_INITDIALOG, WM_PAINT, WM_COMMAND, sample::kStartWork,
                                        WM_DESTROY};

TEST(DialogBox, InitThenFirstPaintThenWhatThePaintPosted) {
  WinportScript script;
  harness::Run run = RunDialog(ProgressLike([](HWND) { return 1; }), 42);
  EXPECT_EQ(1, run.m_result);
  std::vector<Event> expected = {
      {WM_INITDIALOG, 0, 42}, {WM_PAINT, 0, 0}, {sample::kStartWork, 0, 0}, {WM_DESTROY, 0, 0}};
  EXPECT_EQ(expected, run.Only(kInteresting));
  EXPECT_FALSE(IsWindow(run.m_dialog));  // destroyed once it ended
  EXPECT_EQ(1, script.DialogsRun());
}

TEST(DialogBox, EscapeBeforeFirstPaintEndsItBeforeThePostedMessage) {
  WinportScript script;
  script.QueueKey(WinportKey::kEscape, WinportKeyTime::kBeforeFirstPaint);
  bool worked = false;
  harness::Run run = RunDialog(ProgressLike([&](HWND) {
    worked = true;
    return 1;
  }));
  EXPECT_EQ(0, run.m_result);
  EXPECT_FALSE(worked);
  std::vector<Event> expected = {{WM_INITDIALOG, 0, 0},
                                 {WM_PAINT, 0, 0},
                                 {WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0},
                                 {WM_DESTROY, 0, 0}};
  EXPECT_EQ(expected, run.Only(kInteresting));
}

TEST(DialogBox, KeysAfterFirstPaintComeBehindThePostedMessage) {
  WinportScript script;
  script.QueueKey(WinportKey::kEnter, WinportKeyTime::kAfterFirstPaint);
  harness::Handler progress = ProgressLike([](HWND) { return 5; });
  // The start message leaves the dialog running, so the key is what ends it.
  harness::Run run = RunDialog([&](HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == sample::kStartWork) return static_cast<INT_PTR>(TRUE);
    return progress(dialog, message, wParam, lParam);
  });
  EXPECT_EQ(0, run.m_result);
  std::vector<Event> expected = {{WM_INITDIALOG, 0, 0},
                                 {WM_PAINT, 0, 0},
                                 {sample::kStartWork, 0, 0},
                                 {WM_COMMAND, MAKEWPARAM(IDOK, 0), 0},
                                 {WM_DESTROY, 0, 0}};
  EXPECT_EQ(expected, run.Only(kInteresting));
}

TEST(DialogBox, CloseBoxArrivesAsCancel) {
  WinportScript script;
  script.QueueKey(WinportKey::kClose);
  harness::Run run = RunDialog(ProgressLike([](HWND) { return 1; }));
  EXPECT_EQ(0, run.m_result);
  auto commands = run.Only({WM_CLOSE, WM_COMMAND});
  ASSERT_EQ(2u, commands.size());
  EXPECT_EQ(static_cast<UINT>(WM_CLOSE), commands[0].m_message);
  EXPECT_EQ(MAKEWPARAM(IDCANCEL, 0), commands[1].m_wParam);
}

TEST(DialogBox, WithNobodyToAskTheDialogGetsTheCloseBoxThenEnds) {
  WinportSetDisplay(WinportDisplayKind::kHeadless);
  // A procedure that handles the close box ends with its own code...
  harness::Run polite = RunDialog([](HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) return EndDialog(dialog, 7);
    return FALSE;
  });
  EXPECT_EQ(7, polite.m_result);
  // ...and one that ignores everything still cannot hang the process.
  harness::Run stubborn = RunDialog([](HWND, UINT message, WPARAM, LPARAM) {
    return static_cast<INT_PTR>(message == WM_COMMAND);
  });
  EXPECT_EQ(IDCANCEL, stubborn.m_result);
}

TEST(DialogBox, FailsWithMinusOneWhenItCannotBeCreated) {
  WinportScript script;
  harness::Run missing = RunDialog(ProgressLike([](HWND) { return 1; }), 0, MAKEINTRESOURCEA(999));
  EXPECT_EQ(-1, missing.m_result);
  EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), missing.m_error);
  EXPECT_TRUE(missing.m_events.empty());

  HWND stale = RunDialog(ProgressLike([](HWND) { return 1; })).m_dialog;
  harness::Run badOwner =
      RunDialog(ProgressLike([](HWND) { return 1; }), 0, MAKEINTRESOURCEA(sample::kDialog), stale);
  EXPECT_EQ(-1, badOwner.m_result);
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE), badOwner.m_error);
  EXPECT_EQ(0, script.DialogsRun() - 1);  // only the good one ran
}

TEST(DialogBox, NamedTemplatesMatchWithoutCase) {
  WinportScript script;
  harness::Run run = RunDialog(ProgressLike([](HWND) { return 3; }), 0, "NAMED");
  EXPECT_EQ(3, run.m_result);
}

TEST(DialogBox, SecondModalDialogOnOneThreadFailsAndLeavesTheFirstIntact) {
  WinportScript script;
  INT_PTR inner = 0;
  DWORD innerError = 0;
  harness::Run outer = RunDialog(ProgressLike([&](HWND dialog) {
    harness::Run nested = RunDialog(ProgressLike([](HWND) { return 1; }));
    inner = nested.m_result;
    innerError = nested.m_error;
    return IsWindow(dialog) ? 4 : -2;
  }));
  EXPECT_EQ(-1, inner);
  EXPECT_EQ(static_cast<DWORD>(ERROR_BUSY), innerError);
  EXPECT_EQ(4, outer.m_result);
}

TEST(DialogBox, ExceptionFromTheProcedureEndsItAndCleansUp) {
  WinportScript script;
  harness::Run thrown =
      RunDialog(ProgressLike([](HWND) -> INT_PTR { throw std::runtime_error("work failed"); }));
  EXPECT_EQ(-1, thrown.m_result);
  EXPECT_FALSE(IsWindow(thrown.m_dialog));
  // The thread can run a dialog again.
  EXPECT_EQ(1, RunDialog(ProgressLike([](HWND) { return 1; })).m_result);
}

TEST(DialogBox, ThreadsRunTheirOwnDialogsAndQueuesAtOnce) {
  WinportScript script;
  std::mutex mutex;
  std::condition_variable changed;
  int painted = 0;
  auto runOn = [&](INT_PTR code, INT_PTR* result) {
    harness::Handler progress = ProgressLike([code](HWND) { return code; });
    *result = RunDialog([&](HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
                INT_PTR handled = progress(dialog, message, wParam, lParam);
                if (message == WM_PAINT && handled) {
                  // Both dialogs are up before either handles its start message.
                  std::unique_lock lock(mutex);
                  ++painted;
                  changed.notify_all();
                  changed.wait_for(lock, std::chrono::seconds(30), [&] { return painted == 2; });
                }
                return handled;
              }).m_result;
  };
  INT_PTR first = 0;
  INT_PTR second = 0;
  std::thread a(runOn, 11, &first);
  std::thread b(runOn, 22, &second);
  a.join();
  b.join();
  EXPECT_EQ(2, painted);
  EXPECT_EQ(11, first);
  EXPECT_EQ(22, second);
}

}  // namespace
