// @brief The hook that finds the index prompt and the progress dialog as
// their messages return on the component's thread.
#include "tests/wine/host/dialog_answerer.h"

#include <optional>

#include "component/res/resource.h"
#include "tests/wine/host/dialog_report.h"
#include "winport/win32.h"

namespace {

// Leaves the prompt to the window system long enough to be shown and painted
// (painting comes before timers in a thread's queue).
constexpr UINT kPromptDelayMs = 300;
constexpr UINT_PTR kPromptTimer = 1;

std::optional<DialogReport> g_report;
int g_nAnswer = IDYES;
HHOOK g_hHook = nullptr;
bool g_bRecording = false;  // the hook's own repaint must not re-enter it
bool g_bProgressSeen = false;

void Record(HWND hwnd, const wchar_t* sName) {
  g_bRecording = true;
  g_report->Record(hwnd, sName);
  g_bRecording = false;
}

void CALLBACK OnPromptShown(HWND hwnd, UINT, UINT_PTR nTimer, DWORD) {
  KillTimer(hwnd, nTimer);
  Record(hwnd, L"prompt");
  PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(g_nAnswer, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(hwnd, g_nAnswer)));
}

// The progress dialog once its work has started: the bar shows from then on.
bool IsWorkingProgressDialog(HWND hwnd) {
  HWND hwndBar = GetDlgItem(hwnd, IDC_PROGRESS_BAR);
  return GetDlgItem(hwnd, IDC_HEADING) && hwndBar && IsWindowVisible(hwndBar);
}

LRESULT CALLBACK AfterMessage(int nCode, WPARAM wParam, LPARAM lParam) {
  // The hook's record comes as an integer parameter.
  // NOLINTNEXTLINE(performance-no-int-to-ptr)
  const auto* pMessage = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (nCode == HC_ACTION && !g_bRecording) {
    if (pMessage->message == WM_INITDIALOG && GetDlgItem(pMessage->hwnd, IDYES)) {
      SetTimer(pMessage->hwnd, kPromptTimer, kPromptDelayMs, OnPromptShown);
    } else if (pMessage->message == WM_PAINT && !g_bProgressSeen &&
               IsWorkingProgressDialog(pMessage->hwnd)) {
      // The paint comes from a progress report in the middle of the work,
      // which waits here, with the dialog on screen, until the test has its
      // picture.
      g_bProgressSeen = true;
      Record(pMessage->hwnd, L"progress");
    }
  }
  return CallNextHookEx(g_hHook, nCode, wParam, lParam);
}

}  // namespace

void AnswerDialogsOnThisThread(const std::wstring& sLogPath, int nAnswer) {
  if (g_hHook) return;
  g_report.emplace(sLogPath);
  g_nAnswer = nAnswer;
  g_hHook = SetWindowsHookExW(WH_CALLWNDPROCRET, AfterMessage, nullptr, GetCurrentThreadId());
}
