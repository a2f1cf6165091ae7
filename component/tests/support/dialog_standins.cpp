// @brief Weak stand-ins for the progress dialog's entry points, so that the
// tests link before the dialog exists; the real definitions win once linked.
#include "component/tests/support/dialog_standins.h"

#include "component/ui/progress_dialog.h"

DialogStandIns& TheDialogStandIns() {
  static DialogStandIns standIns;
  return standIns;
}

__attribute__((weak)) bool PromptAndCreate(ViveviVadiro* pComponent) {
  ++TheDialogStandIns().nPromptCalls;
  return false;
}

__attribute__((weak)) INT_PTR UpdateWithProgress(ViveviVadiro* pComponent) {
  ++TheDialogStandIns().nUpdateCalls;
  return 0;
}

__attribute__((weak)) INT_PTR CALLBACK ProgressDialogProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
