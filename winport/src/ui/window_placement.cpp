// @brief Window rectangles and placement on the virtual screen.
//
// There is one window order; every move puts the window at its top whatever
// hWndInsertAfter says, which is all a single modal dialog can observe.
#include "winport/api/errors.h"
#include "winport/api/ui.h"
#include "winport/src/ui/display.h"
#include "winport/src/ui/geometry.h"
#include "winport/src/ui/window.h"

using winport::ui::Window;
using winport::ui::WithWindow;

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
  if (lpRect == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  RECT rect{};
  HWND parent = nullptr;
  bool child = false;
  if (!WithWindow(hWnd, [&](Window& window) {
        rect = window.m_rect;
        child = window.m_kind != winport::ui::WindowKind::kDialog;
        parent = window.m_parent;
      })) {
    return FALSE;
  }
  if (child) {
    // Controls keep client coordinates; the screen is the dialog's client origin plus them.
    RECT dialog{};
    DWORD style = 0;
    if (WithWindow(parent, [&](Window& window) {
          dialog = window.m_rect;
          style = window.m_style;
        })) {
      RECT insets = winport::ui::FrameInsets(style);
      LONG dx = dialog.left + insets.left;
      LONG dy = dialog.top + insets.top;
      rect = RECT{rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
    }
  }
  *lpRect = rect;
  return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
  if (lpRect == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return WithWindow(hWnd, [&](Window& window) {
    RECT insets = window.m_kind == winport::ui::WindowKind::kDialog
                      ? winport::ui::FrameInsets(window.m_style)
                      : RECT{};
    *lpRect = RECT{0, 0, window.m_rect.right - window.m_rect.left - insets.left - insets.right,
                   window.m_rect.bottom - window.m_rect.top - insets.top - insets.bottom};
  });
}

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy,
                         UINT uFlags) {
  return WithWindow(hWnd, [&](Window& window) {
    RECT& rect = window.m_rect;
    LONG width = (uFlags & SWP_NOSIZE) ? rect.right - rect.left : cx;
    LONG height = (uFlags & SWP_NOSIZE) ? rect.bottom - rect.top : cy;
    if ((uFlags & SWP_NOMOVE) == 0) {
      rect.left = X;
      rect.top = Y;
    }
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    if (uFlags & SWP_SHOWWINDOW) window.m_style |= WS_VISIBLE;
    if (uFlags & SWP_HIDEWINDOW) window.m_style &= ~static_cast<DWORD>(WS_VISIBLE);
  });
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
  return SetWindowPos(hWnd, HWND_TOP, X, Y, nWidth, nHeight, SWP_NOZORDER);
}

BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect) {
  if (lpRect == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!winport::ui::CheckWindow(hDlg)) return FALSE;
  *lpRect = winport::ui::DialogUnitsToPixels(*lpRect);
  return TRUE;
}

int WINAPI GetSystemMetrics(int nIndex) {
  const winport::ui::Display& display = winport::ui::CurrentDisplay();
  switch (nIndex) {
    case SM_CXSCREEN:
      return static_cast<int>(display.ScreenWidth());
    case SM_CYSCREEN:
      return static_cast<int>(display.ScreenHeight());
    default:
      return 0;
  }
}
