// @brief The modal progress dialog under which the index is created or
// updated, on the thread that shows it.
#include "component/ui/progress_dialog.h"

#include <memory>

#include "component/com/vivevi_vadiro.h"
#include "component/toolkit/toolkit_error.h"
#include "component/ui/dialog_centring.h"
#include "component/ui/dialog_state.h"
#include "component/ui/indexing_dialog.h"

namespace {

constexpr char kInitializing[] = "Initializing . . .";
constexpr int kBarStep = 1;
constexpr LPARAM kBarRange = MAKELPARAM(0, 1024);  // the bar counts messages, not documents

// Ends the dialog and forgets it, so that progress arriving after the end has
// no controls to draw on.
void FinishDialog(HWND hwndDlg, INT_PTR nResult) {
  EndDialog(hwndDlg, nResult);
  ResetDialogState();
}

BOOL OnInitDialog(HWND hwndDlg, IndexingRequest* pRequest) {
  DialogState& state = TheDialogState();
  state.hwndDialog = hwndDlg;
  state.pRequest = pRequest;
  state.bFirstPaint = false;
  state.bDone = false;
  CentreOnHost(hwndDlg, pRequest && pRequest->pComponent ? pRequest->pComponent->Host() : nullptr);
  state.hwndMessagePane = GetDlgItem(hwndDlg, IDC_MESSAGE_PANE);
  return TRUE;  // let the platform set the default focus
}

// The work only starts once the dialog is on screen, so the user sees it for
// the whole of a long creation.
BOOL OnPaint(HWND hwndDlg) {
  DialogState& state = TheDialogState();
  if (state.bFirstPaint) return FALSE;
  state.bFirstPaint = true;
  PostMessageA(hwndDlg, kStartWorkMessage, 0, 0);
  return TRUE;
}

void CreateUnderDialog(HWND hwndDlg, ViveviVadiro& component) {
  // A collection that is already open is never built over.
  if (component.Handles().Collection()) return;
  DialogState& state = TheDialogState();
  state.hwndProgressBar = GetDlgItem(hwndDlg, IDC_PROGRESS_BAR);
  state.hwndCountLine = GetDlgItem(hwndDlg, IDC_COUNT_LINE);
  ShowWindow(state.hwndProgressBar, SW_SHOW);
  SetWindowTextA(state.hwndMessagePane, kInitializing);
  SendMessageA(state.hwndProgressBar, PBM_SETSTEP, kBarStep, 0);
  SendMessageA(state.hwndProgressBar, PBM_SETRANGE, 0, kBarRange);
  component.CreateCollection();
  state.bDone = true;
}

BOOL OnStartWork(HWND hwndDlg) {
  DialogState& state = TheDialogState();
  if (state.bDone || !state.bFirstPaint) return FALSE;
  const IndexingRequest* pRequest = state.pRequest;
  try {
    if (pRequest && pRequest->pComponent) {
      if (pRequest->mode == IndexingMode::kCreate) {
        CreateUnderDialog(hwndDlg, *pRequest->pComponent);
      } else {
        pRequest->pComponent->UpdateCollection();
      }
    }
  } catch (const ToolkitError&) {
    // The failure has no words for the user; the end code tells the caller.
  } catch (...) {
    // Nothing may unwind through the platform's dialog manager; any other
    // failure ends the dialog as a failed run.
  }
  FinishDialog(hwndDlg, state.bDone ? 1 : 0);
  return TRUE;
}

}  // namespace

INT_PTR CALLBACK ProgressDialogProc(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_INITDIALOG:
      return OnInitDialog(hwndDlg, reinterpret_cast<IndexingRequest*>(lParam));
    case WM_PAINT:
      return OnPaint(hwndDlg);
    case kStartWorkMessage:
      return OnStartWork(hwndDlg);
    case WM_COMMAND:
      // Enter, Escape and the close box, before the work has started.
      if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) return FALSE;
      FinishDialog(hwndDlg, 0);
      return TRUE;
    default:
      return FALSE;
  }
}

INT_PTR RunIndexingDialog(ViveviVadiro* pComponent, IndexingMode mode) {
  // The request lives here rather than with the dialog, so that it is released
  // however the dialog ends: after the work, on Escape before it, or when the
  // dialog cannot be shown at all.
  auto pRequest = std::make_unique<IndexingRequest>(IndexingRequest{mode, pComponent});
  // The template's progress bar is a common control: its window class exists
  // only once the common controls are registered in this process.
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  const INT_PTR nResult =
      DialogBoxParamA(ComponentInstance(), MAKEINTRESOURCEA(IDD_PROGRESS),
                      pComponent ? pComponent->HostWindow() : nullptr, ProgressDialogProc,
                      reinterpret_cast<LPARAM>(pRequest.get()));
  // A dialog ended by the platform rather than by its procedure must not
  // leave its controls behind for the progress callback.
  if (TheDialogState().pRequest == pRequest.get()) ResetDialogState();
  return nResult;
}

INT_PTR UpdateWithProgress(ViveviVadiro* pComponent) {
  return RunIndexingDialog(pComponent, IndexingMode::kUpdate);
}
