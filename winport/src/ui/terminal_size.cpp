// @brief Asking the terminal for its window size.
#include "winport/terminal_size.h"

#include <sys/ioctl.h>

bool WinportTerminalSize(int fd, int* columns, int* rows) {
  winsize size{};
  if (ioctl(fd, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) return false;
  *columns = size.ws_col;
  *rows = size.ws_row;
  return true;
}
