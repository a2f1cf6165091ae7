// @brief What draws dialogs, asks message boxes and supplies input.
#pragma once

#include <string>

#include "winport/api/base.h"
#include "winport/ui_driver.h"

namespace winport::ui {

struct MessageBoxRequest {
  HWND m_owner;
  std::string m_text;
  std::string m_caption;
  UINT m_type;
};

// What the message loop gets when its queue is empty.
enum class InputEvent {
  kNone,   // nobody can answer: the dialog gets the close box, then ends
  kWoken,  // another thread posted a message
  kEnter,
  kEscape,
  kClose,
};

class Display {
 public:
  virtual ~Display() = default;

  // The button the user chose, or 0 when nobody can be asked.
  virtual int AskMessageBox(const MessageBoxRequest& request) = 0;

  virtual void DialogStarted(HWND dialog) {}
  virtual void Paint(const WinportPaintSnapshot& snapshot) {}
  virtual void DialogEnded(HWND dialog) {}
  // Keys the script wants delivered around the first paint.
  virtual void TakeKeys(WinportKeyTime when, std::vector<WinportKey>* keys) {}
  // Blocks until input arrives or wakeFd becomes readable.
  virtual InputEvent WaitInput(int /*wakeFd*/) { return InputEvent::kNone; }
  virtual SIZE_T ScreenWidth() const { return 1024; }
  virtual SIZE_T ScreenHeight() const { return 768; }
};

// The display that message boxes and dialogs use now.
Display& CurrentDisplay();

// Installed by WinportScript while it lives (null to remove).
void SetScriptedDisplay(Display* display);

// The cautious answer for a message box's buttons.
int CautiousAnswer(UINT type);

}  // namespace winport::ui
