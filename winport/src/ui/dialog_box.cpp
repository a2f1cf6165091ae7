// @brief Modal dialogs: creation from a template, the message loop, the end.
//
// Order of events, as on Windows: the dialog and its controls are created
// hidden, the procedure gets WM_INITDIALOG with the caller's parameter, the
// dialog is shown and gets its first WM_PAINT, and then the thread's queue is
// served (posted messages and keys in arrival order) until EndDialog. Keys a
// script queues "before the first paint" enter the queue just before that
// paint, so they are ahead of anything the paint posts.
#include <strings.h>

#include <exception>
#include <optional>
#include <vector>

#include "winport/api/errors.h"
#include "winport/api/resources.h"
#include "winport/api/ui.h"
#include "winport/src/ui/dialog_template.h"
#include "winport/src/ui/display.h"
#include "winport/src/ui/geometry.h"
#include "winport/src/ui/message_queue.h"
#include "winport/src/ui/painting.h"
#include "winport/src/ui/resource_registry.h"
#include "winport/src/ui/window.h"

namespace winport::ui {
namespace {

thread_local bool t_modalRunning = false;

WindowKind KindOfClass(const char* name) {
  if (strcasecmp(name, "static") == 0) return WindowKind::kStatic;
  if (strcasecmp(name, "edit") == 0) return WindowKind::kEdit;
  if (strcasecmp(name, "button") == 0) return WindowKind::kButton;
  if (strcasecmp(name, PROGRESS_CLASSA) == 0) return WindowKind::kProgress;
  return WindowKind::kOther;
}

HWND CreateDialogWindows(const DialogTemplate& dialog, HWND owner, DLGPROC procedure,
                         const Display& display) {
  RECT client = DialogUnitsToPixels(RECT{0, 0, dialog.m_cx, dialog.m_cy});
  RECT origin = DialogUnitsToPixels(RECT{dialog.m_x, dialog.m_y, 0, 0});
  Window window;
  window.m_parent = owner;
  window.m_kind = WindowKind::kDialog;
  window.m_className = "#32770";
  window.m_text = dialog.m_caption;
  window.m_style = dialog.m_style & ~static_cast<DWORD>(WS_VISIBLE);
  window.m_exStyle = dialog.m_exStyle;
  window.m_rect =
      OuterRect(POINT{origin.left, origin.top}, client.right, client.bottom, window.m_style);
  if (dialog.m_style & DS_CENTER) {
    LONG width = window.m_rect.right - window.m_rect.left;
    LONG height = window.m_rect.bottom - window.m_rect.top;
    LONG left = (static_cast<LONG>(display.ScreenWidth()) - width) / 2;
    LONG top = (static_cast<LONG>(display.ScreenHeight()) - height) / 2;
    window.m_rect = RECT{left, top, left + width, top + height};
  }
  window.m_thread = std::this_thread::get_id();
  window.m_queue = ThreadQueue();
  window.m_dialogProc = procedure;
  HWND handle = AddWindow(std::move(window));

  for (const DialogControl& control : dialog.m_controls) {
    Window child;
    child.m_parent = handle;
    child.m_kind = KindOfClass(control.m_className.c_str());
    child.m_className = control.m_className;
    child.m_text = control.m_text;
    child.m_id = control.m_id;
    child.m_style = control.m_style | WS_CHILD;
    child.m_exStyle = control.m_exStyle;
    child.m_rect = DialogUnitsToPixels(
        RECT{control.m_x, control.m_y, control.m_x + control.m_cx, control.m_y + control.m_cy});
    child.m_thread = std::this_thread::get_id();
    child.m_queue = ThreadQueue();
    AddWindow(std::move(child));
  }
  return handle;
}

bool Ended(HWND dialog) {
  bool ended = true;
  WithWindow(dialog, [&](Window& window) { ended = window.m_ended; });
  return ended;
}

void QueueKeys(HWND dialog, Display& display, WinportKeyTime when, MessageQueue& queue) {
  std::vector<WinportKey> keys;
  display.TakeKeys(when, &keys);
  for (WinportKey key : keys) {
    if (key == WinportKey::kClose) {
      queue.Post({dialog, WM_SYSCOMMAND, SC_CLOSE, 0});
    } else {
      WPARAM virtualKey = key == WinportKey::kEnter ? VK_RETURN : VK_ESCAPE;
      queue.Post({dialog, WM_KEYDOWN, virtualKey, 0});
    }
  }
}

// Serves the queue until the dialog ends. With nobody to give input, the
// dialog gets the close box once and is ended with IDCANCEL if that does not
// end it, so that no dialog can hang a process without a user.
void RunLoop(HWND dialog, Display& display, MessageQueue& queue) {
  bool closeGiven = false;
  while (!Ended(dialog)) {
    QueuedMessage message;
    if (queue.Pop(&message)) {
      if (IsWindow(message.m_window)) {
        SendMessageA(message.m_window, message.m_message, message.m_wParam, message.m_lParam);
      }
      continue;
    }
    bool invalid = false;
    WithWindow(dialog, [&](Window& window) { invalid = window.m_invalid; });
    if (invalid) {
      Repaint(dialog);
      continue;
    }
    switch (display.WaitInput(queue.WakeFd())) {
      case InputEvent::kWoken:
        break;
      case InputEvent::kEnter:
        SendMessageA(dialog, WM_KEYDOWN, VK_RETURN, 0);
        break;
      case InputEvent::kEscape:
        SendMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
        break;
      case InputEvent::kClose:
        SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
      case InputEvent::kNone:
        if (closeGiven) {
          EndDialog(dialog, IDCANCEL);
        } else {
          closeGiven = true;
          SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        break;
    }
  }
}

// Ends what the dialog started on every road out, exceptions included.
class ModalScope {
 public:
  ModalScope(HWND dialog, Display& display) : m_dialog(dialog), m_display(display) {
    t_modalRunning = true;
  }
  ~ModalScope() {
    m_display.DialogEnded(m_dialog);
    // No procedure runs while an exception from one is unwinding.
    if (std::uncaught_exceptions() == 0 && IsWindow(m_dialog)) {
      SendMessageA(m_dialog, WM_DESTROY, 0, 0);
    }
    RemoveWindow(m_dialog);
    t_modalRunning = false;
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  HWND m_dialog;
  Display& m_display;
};

INT_PTR RunModal(HWND dialog, Display& display, LPARAM parameter) {
  ModalScope scope(dialog, display);
  std::shared_ptr<MessageQueue> queue = ThreadQueue();
  SendMessageA(dialog, WM_INITDIALOG, 0, parameter);
  if (!Ended(dialog)) {
    ShowWindow(dialog, SW_SHOW);
    display.DialogStarted(dialog);
    QueueKeys(dialog, display, WinportKeyTime::kBeforeFirstPaint, *queue);
    Repaint(dialog);
    QueueKeys(dialog, display, WinportKeyTime::kAfterFirstPaint, *queue);
    RunLoop(dialog, display, *queue);
  }
  INT_PTR result = -1;
  WithWindow(dialog, [&](Window& window) { result = window.m_result; });
  return result;
}

}  // namespace
}  // namespace winport::ui

INT_PTR WINAPI DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
  using namespace winport::ui;
  if (hWndParent != nullptr && !CheckWindow(hWndParent)) return -1;
  if (lpTemplateName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  bool typeFound = false;
  const ResourceEntry* entry =
      FindResourceEntry(ResolveModule(hInstance), RT_DIALOG, lpTemplateName, &typeFound);
  std::optional<DialogTemplate> resource =
      entry != nullptr ? ReadDialogTemplate(entry->m_data, entry->m_size) : std::nullopt;
  if (!resource) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return -1;
  }
  if (t_modalRunning) {
    SetLastError(ERROR_BUSY);
    return -1;
  }
  Display& display = CurrentDisplay();
  HWND dialog = CreateDialogWindows(*resource, hWndParent, lpDialogFunc, display);
  try {
    return RunModal(dialog, display, dwInitParam);
  } catch (...) {
    // A procedure's exception must not unwind through callers that expect a
    // Windows function; the dialog is gone by now (ModalScope).
    SetLastError(ERROR_INVALID_FUNCTION);
    return -1;
  }
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
  bool dialog = false;
  std::shared_ptr<winport::ui::MessageQueue> queue;
  if (!winport::ui::WithWindow(hDlg, [&](winport::ui::Window& window) {
        dialog = window.m_kind == winport::ui::WindowKind::kDialog;
        if (!dialog) return;
        window.m_ended = true;
        window.m_result = nResult;
        if (window.m_thread != std::this_thread::get_id()) queue = window.m_queue;
      })) {
    return FALSE;
  }
  if (!dialog) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  // Wakes the loop of another thread, which may be waiting for input.
  if (queue) queue->Post({nullptr, WM_NULL, 0, 0});
  return TRUE;
}
