// @brief Windows as checked objects: the process-wide handle table.
//
// A window lives in the table from creation to destruction; its HWND is a
// number that is never reused, so a stale handle is always detected. Every
// access goes through WithWindow, which holds the table's lock for the time
// of the access only: window procedures are never called under it.
#pragma once

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "winport/api/base.h"
#include "winport/api/ui.h"

namespace winport::ui {

class MessageQueue;

enum class WindowKind { kDialog, kStatic, kEdit, kButton, kProgress, kOther };

struct ProgressState {
  int m_min = 0;
  int m_max = 100;
  int m_pos = 0;
  int m_step = 10;
};

struct Window {
  HWND m_handle = nullptr;
  HWND m_parent = nullptr;  // the dialog of a control; the owner of a dialog
  WindowKind m_kind = WindowKind::kOther;
  std::string m_className;
  std::string m_text;
  int m_id = 0;
  DWORD m_style = 0;
  DWORD m_exStyle = 0;
  RECT m_rect{};  // outer rectangle: screen coordinates for a dialog, client ones for a control
  std::thread::id m_thread;
  std::shared_ptr<MessageQueue> m_queue;
  std::vector<HWND> m_children;  // in creation (template) order
  ProgressState m_progress;
  // Dialogs only.
  DLGPROC m_dialogProc = nullptr;
  bool m_ended = false;
  INT_PTR m_result = 0;
  bool m_invalid = false;
};

// Adds a window; returns its new handle.
HWND AddWindow(Window window);
// Removes a window and its children from the table.
void RemoveWindow(HWND handle);

// Runs `access` on the window under the table's lock and returns true, or
// sets ERROR_INVALID_WINDOW_HANDLE and returns false for a null or unknown
// handle.
template <typename Access>
bool WithWindow(HWND handle, Access access);

// Implementation detail of WithWindow.
bool WithWindowImpl(HWND handle, void (*thunk)(Window&, void*), void* access);

template <typename Access>
bool WithWindow(HWND handle, Access access) {
  return WithWindowImpl(
      handle, [](Window& window, void* context) { (*static_cast<Access*>(context))(window); },
      &access);
}

// True for a live window; otherwise sets ERROR_INVALID_WINDOW_HANDLE.
inline bool CheckWindow(HWND handle) {
  return WithWindow(handle, [](Window&) {});
}

// The number of windows alive (tests check that dialogs clean up).
std::size_t WindowCount();

}  // namespace winport::ui
