// @brief Key reading for the terminal display.
#include "winport/src/ui/terminal_keys.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace winport::ui {
namespace {

// An escape sequence arrives as one burst; a lone Escape key has nothing
// behind it. The wait only separates the two, it paces nothing.
constexpr int kSequenceGapMs = 30;

bool MoreWithin(int fd, int milliseconds) {
  pollfd entry{fd, POLLIN, 0};
  return poll(&entry, 1, milliseconds) > 0 && (entry.revents & POLLIN);
}

void SwallowSequence(int fd) {
  char byte = 0;
  while (MoreWithin(fd, kSequenceGapMs) && read(fd, &byte, 1) == 1) {
  }
}

}  // namespace

KeyPress ReadKey(int fd, int wakeFd) {
  for (;;) {
    pollfd entries[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    int count = wakeFd >= 0 ? 2 : 1;
    if (poll(entries, count, -1) < 0) {
      if (errno == EINTR) continue;
      return {TerminalKey::kEnd, 0};
    }
    if (count == 2 && (entries[1].revents & POLLIN)) return {TerminalKey::kWoken, 0};
    if ((entries[0].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
    char byte = 0;
    ssize_t got = read(fd, &byte, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got != 1) return {TerminalKey::kEnd, 0};
    switch (byte) {
      case '\r':
      case '\n':
        return {TerminalKey::kEnter, byte};
      case 0x03:  // Ctrl-C
        return {TerminalKey::kInterrupt, byte};
      case 0x04:  // Ctrl-D
        return {TerminalKey::kEnd, byte};
      case 0x1b:
        if (MoreWithin(fd, kSequenceGapMs)) {
          SwallowSequence(fd);
          continue;
        }
        return {TerminalKey::kEscape, byte};
      default:
        return {TerminalKey::kOther, byte};
    }
  }
}

}  // namespace winport::ui
