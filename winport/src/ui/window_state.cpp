// @brief Window existence, visibility, identity and destruction.
#include "winport/api/errors.h"
#include "winport/api/ui.h"
#include "winport/src/ui/window.h"

using winport::ui::Window;
using winport::ui::WithWindow;

BOOL WINAPI IsWindow(HWND hWnd) {
  DWORD saved = GetLastError();  // asking is not failing
  BOOL exists = WithWindow(hWnd, [](Window&) {});
  SetLastError(saved);
  return exists;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
  // A control shows only while its dialog shows, as on Windows.
  bool visible = false;
  HWND parent = nullptr;
  WithWindow(hWnd, [&](Window& window) {
    visible = (window.m_style & WS_VISIBLE) != 0;
    if (window.m_kind != winport::ui::WindowKind::kDialog) parent = window.m_parent;
  });
  if (visible && parent != nullptr) return IsWindowVisible(parent);
  return visible;
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  bool wasVisible = false;
  bool known = WithWindow(hWnd, [&](Window& window) {
    wasVisible = (window.m_style & WS_VISIBLE) != 0;
    if (nCmdShow == SW_HIDE) {
      window.m_style &= ~static_cast<DWORD>(WS_VISIBLE);
    } else {
      window.m_style |= WS_VISIBLE;
    }
  });
  return known && wasVisible;
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
  std::vector<HWND> children;
  if (!WithWindow(hDlg, [&](Window& window) { children = window.m_children; })) return nullptr;
  for (HWND child : children) {
    int id = 0;
    if (WithWindow(child, [&](Window& window) { id = window.m_id; }) && id == nIDDlgItem) {
      return child;
    }
  }
  SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
  return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
  int id = 0;
  WithWindow(hWnd, [&](Window& window) { id = window.m_id; });
  return id;
}

HWND WINAPI GetParent(HWND hWnd) {
  HWND parent = nullptr;
  WithWindow(hWnd, [&](Window& window) { parent = window.m_parent; });
  return parent;
}

// Destroys a control, or a dialog that no modal loop runs (a modal dialog is
// destroyed by its loop once EndDialog is called).
BOOL WINAPI DestroyWindow(HWND hWnd) {
  bool modal = false;
  if (!WithWindow(hWnd, [&](Window& window) {
        modal = window.m_kind == winport::ui::WindowKind::kDialog;
      })) {
    return FALSE;
  }
  if (modal) return EndDialog(hWnd, IDCANCEL);
  SendMessageA(hWnd, WM_DESTROY, 0, 0);
  winport::ui::RemoveWindow(hWnd);
  return TRUE;
}
