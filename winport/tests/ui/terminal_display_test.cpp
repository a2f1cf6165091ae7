// The terminal display on a pseudo-terminal: the box is redrawn in place and
// erased at the end, keys arrive without echo, the screen size comes from the
// terminal, and the terminal's mode is what it was before.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "winport/src/ui/terminal_layout.h"
#include "winport/tests/ui/dialog_harness.h"

namespace {

std::size_t Count(const std::string& text, const std::string& piece) {
  std::size_t count = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) {
    ++count;
  }
  return count;
}

// Puts a pseudo-terminal in place of stdin and stderr for its lifetime and
// collects everything written to it.
class PseudoTerminal {
 public:
  PseudoTerminal() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0) return;
    m_slave = open(ptsname(m_master), O_RDWR | O_NOCTTY);
    if (m_slave < 0 || pipe(m_stop) != 0) return;
    winsize size{30, 100, 0, 0};
    ioctl(m_master, TIOCSWINSZ, &size);
    m_savedIn = dup(STDIN_FILENO);
    m_savedErr = dup(STDERR_FILENO);
    dup2(m_slave, STDIN_FILENO);
    dup2(m_slave, STDERR_FILENO);
    m_reader = std::thread([this] { Collect(); });
  }
  ~PseudoTerminal() {
    Restore();
    for (int fd : {m_slave, m_master, m_stop[0], m_stop[1]}) {
      if (fd >= 0) close(fd);
    }
  }

  bool Ready() const { return m_slave >= 0 && m_savedIn >= 0; }
  void Type(const char* keys) { [[maybe_unused]] ssize_t n = write(m_master, keys, strlen(keys)); }
  void SetMode(const termios& mode) { tcsetattr(m_slave, TCSANOW, &mode); }
  void Resize(unsigned short columns) {
    winsize size{30, columns, 0, 0};
    ioctl(m_master, TIOCSWINSZ, &size);
  }
  termios Mode() const {
    termios mode{};
    tcgetattr(m_slave, &mode);
    return mode;
  }
  // Puts stdin and stderr back and returns all the output.
  std::string Finish() {
    Restore();
    return m_output;
  }

 private:
  // Reads until told to stop and nothing is left to read.
  void Collect() {
    char buffer[4096];
    for (;;) {
      pollfd entries[2] = {{m_master, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
      if (poll(entries, 2, -1) < 0) return;
      if (entries[0].revents & POLLIN) {
        ssize_t got = read(m_master, buffer, sizeof buffer);
        if (got <= 0) return;
        m_output.append(buffer, static_cast<std::size_t>(got));
      } else if (entries[1].revents & POLLIN) {
        return;
      }
    }
  }
  void Restore() {
    if (m_savedIn < 0) return;
    dup2(m_savedIn, STDIN_FILENO);
    dup2(m_savedErr, STDERR_FILENO);
    close(m_savedIn);
    close(m_savedErr);
    m_savedIn = m_savedErr = -1;
    [[maybe_unused]] ssize_t n = write(m_stop[1], "x", 1);
    if (m_reader.joinable()) m_reader.join();
  }

  int m_master = -1;
  int m_slave = -1;
  int m_savedIn = -1;
  int m_savedErr = -1;
  int m_stop[2] = {-1, -1};  // a pipe that ends the reader
  std::thread m_reader;
  std::string m_output;
};

TEST(TerminalDisplay, RedrawsInPlaceErasesAndRestoresTheTerminal) {
  PseudoTerminal terminal;
  ASSERT_TRUE(terminal.Ready());
  termios before = terminal.Mode();
  WinportSetDisplay(WinportDisplayKind::kTerminal);

  int screenWidth = 0;
  tcflag_t modeDuringDialog = 0;
  harness::Handler progress = harness::ProgressLike([](HWND) { return 1; });
  harness::Run run =
      harness::RunDialog([&](HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) -> INT_PTR {
        if (message != sample::kStartWork) return progress(dialog, message, wParam, lParam);
        screenWidth = GetSystemMetrics(SM_CXSCREEN);
        modeDuringDialog = terminal.Mode().c_lflag;
        SetDlgItemTextA(dialog, sample::kPane, "first update");
        UpdateWindow(dialog);
        SetDlgItemTextA(dialog, sample::kPane, "second update");
        UpdateWindow(dialog);
        terminal.Type("\x1b");  // Escape, read once the dialog waits for input
        return TRUE;
      });
  termios after = terminal.Mode();
  std::string output = terminal.Finish();
  WinportSetDisplay(WinportDisplayKind::kHeadless);

  EXPECT_EQ(0, run.m_result);   // Escape ended it
  EXPECT_EQ(600, screenWidth);  // 100 columns of 6 pixels
  // Keys without echo, but Ctrl-C still interrupts and keeps what was typed ahead.
  EXPECT_EQ(0u, modeDuringDialog & (ICANON | ECHO));
  EXPECT_EQ(ISIG | NOFLSH, modeDuringDialog & (ISIG | NOFLSH));
  EXPECT_EQ(before.c_lflag, after.c_lflag);
  EXPECT_EQ(before.c_cc[VMIN], after.c_cc[VMIN]);

  // Three paints of a seven-line box: the first at the cursor, the others
  // after moving back up over it, then the erase.
  EXPECT_EQ(3u, Count(output, "Help System"));
  EXPECT_EQ(1u, Count(output, "first update"));
  EXPECT_EQ(1u, Count(output, "second update"));
  EXPECT_EQ(4u, Count(output, "\x1b[7A"));  // two redraws, and twice in the erase
  EXPECT_EQ(7u * 3 + 7, Count(output, "\x1b[2K"));
  EXPECT_NE(std::string::npos, output.find("\x1b[?25h"));  // the cursor is shown again
  EXPECT_EQ(std::string::npos, output.find("\x1b\r"));     // the Escape key was not echoed
}

TEST(TerminalDisplay, ANarrowedTerminalGetsTheBoxRedrawnOverItsWrappedRows) {
  PseudoTerminal terminal;
  ASSERT_TRUE(terminal.Ready());
  WinportSetDisplay(WinportDisplayKind::kTerminal);
  harness::Run run = harness::RunDialog(harness::ProgressLike([&](HWND dialog) {
    SetDlgItemTextA(dialog, sample::kPane, "wide");
    UpdateWindow(dialog);
    terminal.Resize(40);
    SetDlgItemTextA(dialog, sample::kPane, "narrow");
    UpdateWindow(dialog);
    return 1;
  }));
  std::string output = terminal.Finish();
  WinportSetDisplay(WinportDisplayKind::kHeadless);
  ASSERT_EQ(1, run.m_result);

  // Seven lines 52 columns wide take two rows each at 40 columns: up over
  // fourteen rows, clear below, and draw the box anew within 39 columns.
  const std::size_t redraw = output.find("\x1b[14A\r\x1b[J");
  ASSERT_NE(std::string::npos, redraw) << output;
  EXPECT_EQ(std::string::npos, output.substr(0, redraw).find("narrow"));
  // The redrawn box, up to the erase at the dialog's end.
  const std::string after = output.substr(redraw, output.find("\x1b[7A", redraw) - redraw);
  EXPECT_NE(std::string::npos, after.find("narrow"));
  std::size_t boxLines = 0;
  for (std::size_t start = after.find("\x1b[2K"); start != std::string::npos;
       start = after.find("\x1b[2K", start + 1)) {
    const std::size_t end = after.find('\r', start);
    const std::string line = after.substr(start + 4, end - start - 4);
    if (line.empty()) continue;
    EXPECT_GE(39, winport::ui::TextColumns(line)) << line;
    ++boxLines;
  }
  EXPECT_EQ(7u, boxLines);
}

TEST(TerminalDisplay, KeysTypedDuringTheWorkOutliveTheDialog) {
  PseudoTerminal terminal;
  ASSERT_TRUE(terminal.Ready());
  WinportSetDisplay(WinportDisplayKind::kTerminal);
  int queued = 0;
  harness::Run run = harness::RunDialog(harness::ProgressLike([&](HWND) {
    // The terminal takes typed keys in on its own time: they are waited for
    // here, so that an end of the dialog that discarded them would be seen.
    terminal.Type("ls\r");
    for (int wait = 0; wait < 200 && queued < 3; ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      ioctl(STDIN_FILENO, FIONREAD, &queued);
    }
    return 1;
  }));
  ioctl(STDIN_FILENO, FIONREAD, &queued);
  terminal.Finish();
  WinportSetDisplay(WinportDisplayKind::kHeadless);
  EXPECT_EQ(1, run.m_result);
  EXPECT_EQ(3, queued);  // for the shell to read, as typed
}

TEST(TerminalDisplay, MessageBoxTakesOneKeyAndDefaultsOnEnter) {
  struct Case {
    const char* keys;
    UINT type;
    int answer;
  } cases[] = {
      {"y", MB_YESNO | MB_ICONQUESTION, IDYES},
      {"xn", MB_YESNO, IDNO},  // other keys are ignored
      {"\r", MB_YESNO | MB_DEFBUTTON2, IDNO},
      {"\x03", MB_YESNO, IDNO},  // Ctrl-C: the cautious answer
      {"\x04", MB_OKCANCEL, IDCANCEL},
  };
  for (const Case& c : cases) {
    PseudoTerminal terminal;
    ASSERT_TRUE(terminal.Ready());
    // Keys typed ahead must be readable when the box asks, and Ctrl-C must
    // reach it as a key: the terminal starts without line editing and
    // signals, but with echo, which the box turns off and must turn on again.
    termios before = terminal.Mode();
    before.c_lflag &= ~static_cast<tcflag_t>(ICANON | ISIG);
    before.c_lflag |= ECHO;
    terminal.SetMode(before);
    terminal.Type(c.keys);
    WinportSetDisplay(WinportDisplayKind::kTerminal);
    int answer = MessageBoxA(nullptr, "Proceed?", "Question", c.type);
    termios after = terminal.Mode();
    std::string output = terminal.Finish();
    WinportSetDisplay(WinportDisplayKind::kHeadless);
    EXPECT_EQ(c.answer, answer) << c.keys;
    EXPECT_EQ(before.c_lflag, after.c_lflag) << c.keys;
    EXPECT_NE(std::string::npos, output.find("Proceed?")) << c.keys;
  }
}

}  // namespace
