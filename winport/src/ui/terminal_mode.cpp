// @brief Entering and leaving the terminal's key-at-a-time mode.
#include "winport/src/ui/terminal_mode.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <iterator>

namespace winport::ui {
namespace {

// Only async-signal-safe state: what to restore, written before the mode
// changes and cleared after it is restored. The handlers are installed only
// while the mode is changed, and hand the signal on to what was there before.
struct termios g_saved;
volatile sig_atomic_t g_savedFd = -1;
constexpr int kRestoredSignals[] = {SIGTERM, SIGHUP, SIGQUIT, SIGINT};
struct sigaction g_previous[sizeof kRestoredSignals / sizeof kRestoredSignals[0]];
char g_farewell[1024];
volatile sig_atomic_t g_farewellLength = 0;

void RestoreSaved() {
  int fd = g_savedFd;
  if (fd >= 0) {
    if (g_farewellLength > 0) {
      [[maybe_unused]] ssize_t written = write(STDERR_FILENO, g_farewell, g_farewellLength);
      g_farewellLength = 0;
    }
    tcsetattr(fd, TCSANOW, &g_saved);
    static const char kShowCursor[] = "\x1b[?25h";
    [[maybe_unused]] ssize_t written = write(STDERR_FILENO, kShowCursor, sizeof kShowCursor - 1);
    g_savedFd = -1;
  }
}

void OnSignal(int signal_number) {
  RestoreSaved();
  // Let the signal do what it would have done.
  for (std::size_t i = 0; i < std::size(kRestoredSignals); ++i) {
    if (kRestoredSignals[i] == signal_number) sigaction(signal_number, &g_previous[i], nullptr);
  }
  raise(signal_number);
}

void InstallHandlers() {
  static bool atExit = [] { return std::atexit(RestoreSaved) == 0; }();
  (void)atExit;
  for (std::size_t i = 0; i < std::size(kRestoredSignals); ++i) {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(kRestoredSignals[i], &action, &g_previous[i]);
  }
}

void RemoveHandlers() {
  for (std::size_t i = 0; i < std::size(kRestoredSignals); ++i) {
    sigaction(kRestoredSignals[i], &g_previous[i], nullptr);
  }
}

}  // namespace

RawTerminalMode::RawTerminalMode(int fd, InterruptKey interrupt) {
  termios current{};
  if (g_savedFd >= 0 || tcgetattr(fd, &current) != 0) return;
  g_saved = current;
  g_savedFd = fd;
  InstallHandlers();
  termios raw = current;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  if (interrupt == InterruptKey::kIsKey) {
    raw.c_lflag &= ~static_cast<tcflag_t>(ISIG);
  } else {
    // The terminal would otherwise throw away what was typed ahead, and what
    // was drawn but not yet shown, when Ctrl-C interrupts.
    raw.c_lflag |= NOFLSH;
  }
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  m_active = tcsetattr(fd, TCSANOW, &raw) == 0;
  if (!m_active) {
    g_savedFd = -1;
    RemoveHandlers();
  }
}

void RawTerminalMode::SetFarewell(const std::string& text) {
  if (!m_active) return;
  g_farewellLength = 0;  // never half a text, should a signal come meanwhile
  if (text.size() > sizeof g_farewell) return;
  text.copy(g_farewell, text.size());
  g_farewellLength = static_cast<sig_atomic_t>(text.size());
}

RawTerminalMode::~RawTerminalMode() {
  if (!m_active) return;
  g_farewellLength = 0;  // an orderly end cleans up itself
  RestoreSaved();
  RemoveHandlers();
}

}  // namespace winport::ui
