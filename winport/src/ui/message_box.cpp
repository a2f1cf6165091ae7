// @brief MessageBoxA through the current display.
#include "winport/api/errors.h"
#include "winport/api/ui.h"
#include "winport/src/ui/display.h"
#include "winport/src/ui/window.h"

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  if (hWnd != nullptr && !winport::ui::CheckWindow(hWnd)) return 0;
  winport::ui::MessageBoxRequest request{hWnd, lpText != nullptr ? lpText : "",
                                         lpCaption != nullptr ? lpCaption : "Error", uType};
  int answer = winport::ui::CurrentDisplay().AskMessageBox(request);
  return answer != 0 ? answer : winport::ui::CautiousAnswer(uType);
}
