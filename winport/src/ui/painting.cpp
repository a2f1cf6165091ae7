// @brief Repainting windows and taking snapshots of dialogs.
#include "winport/src/ui/painting.h"

#include "winport/api/errors.h"
#include "winport/api/ui.h"
#include "winport/src/ui/display.h"
#include "winport/src/ui/window.h"

namespace winport::ui {

HWND DialogOf(HWND window) {
  HWND dialog = nullptr;
  WithWindow(window, [&](Window& found) {
    dialog = found.m_kind == WindowKind::kDialog ? found.m_handle : found.m_parent;
  });
  return dialog;
}

bool TakeSnapshot(HWND dialog, WinportPaintSnapshot* snapshot) {
  std::vector<HWND> children;
  if (!WithWindow(dialog, [&](Window& window) {
        snapshot->m_dialog = dialog;
        snapshot->m_caption = window.m_text;
        snapshot->m_window = window.m_rect;
        snapshot->m_visible = (window.m_style & WS_VISIBLE) != 0;
        children = window.m_children;
      })) {
    return false;
  }
  snapshot->m_controls.clear();
  for (HWND child : children) {
    WithWindow(child, [&](Window& window) {
      WinportControlState state;
      state.m_id = window.m_id;
      state.m_className = window.m_className;
      state.m_text = window.m_text;
      state.m_visible = (window.m_style & WS_VISIBLE) != 0;
      state.m_style = window.m_style;
      state.m_rect = window.m_rect;
      state.m_pos = window.m_progress.m_pos;
      state.m_min = window.m_progress.m_min;
      state.m_max = window.m_progress.m_max;
      snapshot->m_controls.push_back(std::move(state));
    });
  }
  return true;
}

void Repaint(HWND window) {
  HWND dialog = DialogOf(window);
  if (dialog == nullptr) return;
  // Validated before the paint, as BeginPaint does, so that a procedure may
  // invalidate again while it paints; a hidden dialog is simply valid.
  WithWindow(dialog, [](Window& found) { found.m_invalid = false; });
  if (!IsWindowVisible(dialog)) return;
  SendMessageA(window, WM_PAINT, 0, 0);
  WinportPaintSnapshot snapshot;
  if (TakeSnapshot(dialog, &snapshot)) CurrentDisplay().Paint(snapshot);
}

}  // namespace winport::ui

BOOL WINAPI UpdateWindow(HWND hWnd) {
  if (!winport::ui::CheckWindow(hWnd)) return FALSE;
  winport::ui::Repaint(hWnd);
  return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  HWND dialog = winport::ui::DialogOf(hWnd);
  if (dialog == nullptr) return FALSE;
  return winport::ui::WithWindow(dialog,
                                 [](winport::ui::Window& window) { window.m_invalid = true; });
}

// RDW_UPDATENOW and RDW_ERASENOW repaint at once; otherwise RDW_INVALIDATE
// and RDW_INTERNALPAINT mark the window for the idle loop and RDW_VALIDATE
// clears the mark.
BOOL WINAPI RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags) {
  if (!winport::ui::CheckWindow(hWnd)) return FALSE;
  if ((flags & (RDW_UPDATENOW | RDW_ERASENOW)) != 0) {
    winport::ui::Repaint(hWnd);
  } else if ((flags & (RDW_INVALIDATE | RDW_INTERNALPAINT)) != 0) {
    InvalidateRect(hWnd, lprcUpdate, (flags & RDW_ERASE) != 0);
  } else if ((flags & RDW_VALIDATE) != 0) {
    winport::ui::WithWindow(winport::ui::DialogOf(hWnd),
                            [](winport::ui::Window& window) { window.m_invalid = false; });
  }
  return TRUE;
}
