// @brief Window and dialog item texts.
#include "winport/api/errors.h"
#include "winport/api/ui.h"
#include "winport/src/ui/window.h"

BOOL WINAPI SetWindowTextA(HWND hWnd, LPCSTR lpString) {
  if (!winport::ui::CheckWindow(hWnd)) return FALSE;
  return SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) != FALSE;
}

// Copies at most nMaxCount - 1 characters and terminates; returns the number
// copied. A buffer of size 0 gets nothing.
int WINAPI GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount) {
  if (!winport::ui::CheckWindow(hWnd)) {
    if (lpString != nullptr && nMaxCount > 0) lpString[0] = '\0';
    return 0;
  }
  if (lpString == nullptr || nMaxCount <= 0) return 0;
  return static_cast<int>(SendMessageA(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                       reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextLengthA(HWND hWnd) {
  if (!winport::ui::CheckWindow(hWnd)) return 0;
  return static_cast<int>(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

BOOL WINAPI SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString) {
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  return item != nullptr && SetWindowTextA(item, lpString);
}

UINT WINAPI GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax) {
  HWND item = GetDlgItem(hDlg, nIDDlgItem);
  if (item == nullptr) {
    if (lpString != nullptr && cchMax > 0) lpString[0] = '\0';
    return 0;
  }
  return static_cast<UINT>(GetWindowTextA(item, lpString, cchMax));
}
