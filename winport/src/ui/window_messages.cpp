// @brief Sending and posting messages, and the default handling of windows,
// dialogs and controls.
#include <algorithm>
#include <cstring>
#include <string>

#include "winport/api/errors.h"
#include "winport/api/ui.h"
#include "winport/src/ui/message_queue.h"
#include "winport/src/ui/progress_bar.h"
#include "winport/src/ui/window.h"

namespace winport::ui {
namespace {

// The text messages every window understands; false for other messages.
bool HandleTextMessage(Window& window, UINT message, WPARAM wParam, LPARAM lParam,
                       LRESULT* result) {
  switch (message) {
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lParam);
      window.m_text = text != nullptr ? text : "";
      *result = TRUE;
      return true;
    }
    case WM_GETTEXT: {
      char* buffer = reinterpret_cast<char*>(lParam);
      if (buffer == nullptr || wParam == 0) {
        *result = 0;
        return true;
      }
      std::size_t length = std::min<std::size_t>(window.m_text.size(), wParam - 1);
      std::memcpy(buffer, window.m_text.data(), length);
      buffer[length] = '\0';
      *result = static_cast<LRESULT>(length);
      return true;
    }
    case WM_GETTEXTLENGTH:
      *result = static_cast<LRESULT>(window.m_text.size());
      return true;
    default:
      return false;
  }
}

// The control classes' own handling; anything else goes to DefWindowProcA.
LRESULT ControlProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  bool handled = false;
  if (!WithWindow(handle, [&](Window& window) {
        if (window.m_kind == WindowKind::kProgress) {
          handled = HandleProgressMessage(window.m_progress, message, wParam, lParam, &result);
        }
      })) {
    return 0;
  }
  return handled ? result : DefWindowProcA(handle, message, wParam, lParam);
}

}  // namespace
}  // namespace winport::ui

using winport::ui::Window;
using winport::ui::WindowKind;
using winport::ui::WithWindow;

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!WithWindow(hWnd, [&](Window& window) {
        winport::ui::HandleTextMessage(window, Msg, wParam, lParam, &result);
      })) {
    return 0;
  }
  if (Msg == WM_CLOSE) DestroyWindow(hWnd);
  return result;
}

// What a dialog does with what its procedure leaves: the close box and
// WM_CLOSE become IDCANCEL, as on Windows; everything else is a window's.
LRESULT WINAPI DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!winport::ui::CheckWindow(hDlg)) return 0;
  switch (Msg) {
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) return SendMessageA(hDlg, WM_CLOSE, 0, 0);
      return 0;
    case WM_CLOSE:
      return SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) return SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
      if (wParam == VK_ESCAPE) return SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
      return 0;
    default: {
      // A dialog's default handling never closes it: WM_CLOSE was handled above.
      LRESULT result = 0;
      WithWindow(hDlg, [&](Window& window) {
        winport::ui::HandleTextMessage(window, Msg, wParam, lParam, &result);
      });
      return result;
    }
  }
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  WindowKind kind = WindowKind::kOther;
  DLGPROC procedure = nullptr;
  if (!WithWindow(hWnd, [&](Window& window) {
        kind = window.m_kind;
        procedure = window.m_dialogProc;
      })) {
    return 0;
  }
  if (kind != WindowKind::kDialog) return winport::ui::ControlProc(hWnd, Msg, wParam, lParam);
  if (procedure != nullptr) {
    INT_PTR handled = procedure(hWnd, Msg, wParam, lParam);
    if (handled != FALSE) return handled;
  }
  return DefDlgProcA(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  std::shared_ptr<winport::ui::MessageQueue> queue;
  if (!WithWindow(hWnd, [&](Window& window) { queue = window.m_queue; })) return FALSE;
  if (!queue || !queue->Post({hWnd, Msg, wParam, lParam})) {
    SetLastError(ERROR_NOT_ENOUGH_QUOTA);
    return FALSE;
  }
  return TRUE;
}
