// @brief Reading keys from the terminal one at a time.
#pragma once

namespace winport::ui {

enum class TerminalKey { kWoken, kEnter, kEscape, kInterrupt, kEnd, kOther };

struct KeyPress {
  TerminalKey m_key;
  char m_character;  // the byte read, for kOther
};

// Waits for a key on `fd` or for `wakeFd` (ignored when negative) to become
// readable. Escape sequences (arrows, function keys) are swallowed whole.
// End of input and a failing read give kEnd.
KeyPress ReadKey(int fd, int wakeFd);

}  // namespace winport::ui
