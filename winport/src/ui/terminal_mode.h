// @brief The terminal's input mode while a dialog or message box reads keys.
//
// Keys are read one at a time without echo. A message box reads Ctrl-C as a
// key (the cautious answer); a dialog leaves it to the terminal, which
// interrupts the process, because the long work a dialog shows does not read
// keys until it is done. Keys typed meanwhile stay queued for whoever reads
// the terminal next, through an interrupt too. The saved mode is restored
// when the scope ends, at exit, and on the signals that would otherwise leave
// the terminal unusable.
#pragma once

#include <string>

namespace winport::ui {

enum class InterruptKey {
  kIsKey,      // Ctrl-C arrives as a key
  kInterrupts  // Ctrl-C interrupts the process and keeps the keys typed ahead
};

class RawTerminalMode {
 public:
  RawTerminalMode(int fd, InterruptKey interrupt);
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
