// @brief Sorting the toolkit's status messages into the progress dialog.
#include "component/ui/indexing_progress.h"

#include <string>

#include "component/com/vivevi_vadiro.h"
#include "component/search/text_conversion.h"
#include "component/ui/dialog_state.h"
#include "winport/win32.h"

namespace {

constexpr char kFlushingErrors[] = "Flushing Errors . . .";

// The display steps, each a no-op while no dialog is showing.
void Show(HWND hwnd, int nCmdShow) {
  if (TheDialogState().hwndDialog && hwnd) {
    ShowWindow(hwnd, nCmdShow);
  }
}
void SetText(HWND hwnd, const std::string& sText) {
  if (TheDialogState().hwndDialog && hwnd) {
#ifdef _WIN32
    SetWindowTextW(hwnd, NarrowToWide(sText.c_str()).c_str());  // the toolkit's UTF-8
#else
    SetWindowTextA(hwnd, sText.c_str());
#endif
  }
}
void StepBar() {
  const DialogState& state = TheDialogState();
  if (state.hwndDialog && state.hwndProgressBar) {
    SendMessageA(state.hwndProgressBar, PBM_STEPIT, 0, 0);
  }
}
void Repaint() {
  HWND hwndDialog = TheDialogState().hwndDialog;
  if (hwndDialog) {
    UpdateWindow(hwndDialog);
  }
}

void ShowCountLine(const std::string& sText) {
  const DialogState& state = TheDialogState();
  Show(state.hwndMessagePane, SW_HIDE);
  Show(state.hwndCountLine, SW_SHOW);
  SetText(state.hwndCountLine, sText);
}

}  // namespace

std::string CountLineText(const std::string& sMessage, int32_t nTotal) {
  return sMessage.substr(0, sMessage.find('(')) + " of " + std::to_string(nTotal);
}

extern "C" void IndexingProgressCallback(void* pContext, const TkStatusMessage* pMessage) {
  auto* pComponent = static_cast<ViveviVadiro*>(pContext);
  if (!pComponent || !pMessage) {
    return;
  }
  try {
    const std::string sText = pMessage->text ? pMessage->text : "";
    const char c = sText.empty() ? '\0' : sText[0];

    IndexingError& lastError = pComponent->LastError();
    if (!lastError.Empty() || (c == 'E' && sText != "Error")) {
      lastError.Record(sText);
      ShowCountLine(kFlushingErrors);
      StepBar();
      return;
    }
    if (c == 'D') {
      ShowCountLine(CountLineText(sText, pComponent->DocTotal()));
    } else if (c != 'I' && c != 'U') {
      const DialogState& state = TheDialogState();
      Show(state.hwndCountLine, SW_HIDE);
      Show(state.hwndMessagePane, SW_SHOW);
      SetText(state.hwndMessagePane, sText);
    }
    StepBar();
    Repaint();
  } catch (...) {
    // Nothing may cross back into the toolkit.
  }
}
