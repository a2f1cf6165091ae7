// @brief The terminal's input mode while a dialog or message box reads keys.
//
// Keys are read one at a time without echo and without the terminal turning
// Ctrl-C into a signal (it arrives as a key and means the close box). The
// saved mode is restored when the scope ends, at exit, and on the signals
// that would otherwise leave the terminal unusable.
#pragma once

#include <string>

namespace winport::ui {

class RawTerminalMode {
 public:
  explicit RawTerminalMode(int fd);
  ~RawTerminalMode();
  RawTerminalMode(const RawTerminalMode&) = delete;
  RawTerminalMode& operator=(const RawTerminalMode&) = delete;

  bool Active() const { return m_active; }

  // Text written to the terminal when the mode is restored by a signal or at
  // exit rather than by this scope's end (e.g. what erases a dialog's box).
  void SetFarewell(const std::string& text);

 private:
  bool m_active = false;
};

}  // namespace winport::ui
