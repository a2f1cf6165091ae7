// @brief The terminal display: message boxes ask on the terminal, dialogs
// are drawn in place on stderr and read their keys from stdin.
#pragma once

#include <memory>
#include <string>

#include "winport/src/ui/display.h"
#include "winport/src/ui/terminal_mode.h"
#include "winport/src/ui/terminal_progress.h"

namespace winport::ui {

class TerminalDisplay : public Display {
 public:
  int AskMessageBox(const MessageBoxRequest& request) override;
  void DialogStarted(HWND dialog) override;
  void Paint(const WinportPaintSnapshot& snapshot) override;
  void DialogEnded(HWND dialog) override;
  InputEvent WaitInput(int wakeFd) override;
  SIZE_T ScreenWidth() const override;
  SIZE_T ScreenHeight() const override;

 private:
  // From just below the box drawn last, to where it begins on a terminal now
  // `columns` wide.
  std::string UpOverBox(int columns) const;

  std::unique_ptr<RawTerminalMode> m_mode;
  HWND m_dialog = nullptr;
  int m_linesDrawn = 0;
  int m_drawnWidth = 0;  // the width of each line drawn last
  BarMemory m_bar;
};

}  // namespace winport::ui
