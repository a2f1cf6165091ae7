// @brief Choosing the display that message boxes and dialogs use, and the
// scripted display that tests drive (POSIX builds only; not a Windows
// interface).
//
// The display is chosen once per process, at the first message box or
// dialog: ZVV_DISPLAY=headless|terminal forces a choice; otherwise the
// terminal display is used when stdin and stderr are terminals and TERM is
// set and not "dumb", else the headless display. WinportSetDisplay overrides
// the choice, and a live WinportScript overrides everything.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "winport/api/base.h"

enum class WinportDisplayKind {
  kHeadless,  // nothing drawn; message boxes get the cautious answer
  kTerminal,  // drawn on stderr, keys read from stdin
};

void WinportSetDisplay(WinportDisplayKind kind);
WinportDisplayKind WinportCurrentDisplay();

// What a control looked like at a repaint. The rectangle is in pixels,
// relative to the dialog's client area.
struct WinportControlState {
  int m_id = 0;
  std::string m_className;
  std::string m_text;
  bool m_visible = false;
  DWORD m_style = 0;
  RECT m_rect{};
  // Progress bars only.
  int m_pos = 0;
  int m_min = 0;
  int m_max = 0;
};

// What a dialog looked like at a repaint: its caption, its outer rectangle in
// screen coordinates and its controls in template order.
struct WinportPaintSnapshot {
  HWND m_dialog = nullptr;
  std::string m_caption;
  RECT m_window{};
  bool m_visible = false;
  std::vector<WinportControlState> m_controls;

  // The control with this id, or null.
  const WinportControlState* Control(int id) const;
};

struct WinportMessageBoxRecord {
  HWND m_owner = nullptr;
  std::string m_text;
  std::string m_caption;
  UINT m_type = 0;
  int m_answer = 0;
};

enum class WinportKey {
  kEnter,   // WM_COMMAND IDOK
  kEscape,  // WM_COMMAND IDCANCEL
  kClose,   // the close box: WM_COMMAND IDCANCEL
};

enum class WinportKeyTime {
  kBeforeFirstPaint,  // queued before the first WM_PAINT, so ahead of what it posts
  kAfterFirstPaint,   // queued once the first WM_PAINT returned, behind what it posts
};

// The scripted display. While an instance lives it is the display of every
// thread of the process; its destructor gives the previous display back. All
// members may be called from any thread, including from the paint callback.
class WinportScript {
 public:
  WinportScript();
  ~WinportScript();
  WinportScript(const WinportScript&) = delete;
  WinportScript& operator=(const WinportScript&) = delete;

  // Answers for the coming message boxes, in order. A box with no answer left
  // gets the cautious answer for its buttons.
  void AnswerMessageBox(int answer);
  // Keys for the next dialog. Keys queued while a dialog runs reach it when
  // its queue is next empty. When no key is left and the queue is empty the
  // dialog gets the close box.
  void QueueKey(WinportKey key, WinportKeyTime when = WinportKeyTime::kBeforeFirstPaint);
  // Called on the painting thread at every repaint of a dialog.
  void OnPaint(std::function<void(const WinportPaintSnapshot&)> callback);
  // The virtual screen reported by GetSystemMetrics (default 1024 x 768).
  void SetScreenSize(int cx, int cy);

  std::vector<WinportMessageBoxRecord> MessageBoxes() const;
  std::vector<WinportPaintSnapshot> Paints() const;
  int DialogsRun() const;

  struct State;

 private:
  State* m_state;
};
