// @brief Runs the real zvv program on a pseudo-terminal of its own, as a user
// at a terminal runs it: keys typed, the window resized, the output as drawn.
#pragma once

#include <termios.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace zvv::testing {

struct TerminalSize {
  int m_columns;
  int m_rows;
};

class TerminalSession {
 public:
  // Starts zvv with `args` in a new session whose controlling terminal is the
  // pseudo-terminal, TERM=xterm, no COLUMNS or LINES, and then `environment`
  // (an empty value unsets a variable). The component registry is a fresh file.
  TerminalSession(const std::vector<std::string>& args, TerminalSize size,
                  const std::vector<std::pair<std::string, std::string>>& environment = {});
  ~TerminalSession();
  TerminalSession(const TerminalSession&) = delete;
  TerminalSession& operator=(const TerminalSession&) = delete;

  bool Started() const { return m_child > 0; }

  // Keys as the terminal sends them: "\x03" is Ctrl-C.
  void Type(const std::string& keys);
  // Changes the window's size; the terminal tells the program (SIGWINCH).
  void Resize(TerminalSize size);
  // Reads the output until it holds `text` after `from`; false at the timeout or the end.
  bool WaitFor(const std::string& text, std::size_t from = 0,
               std::chrono::seconds timeout = std::chrono::seconds(60));
  // Waits for zvv to end, reading its output; the exit status, or -1 when it
  // was killed by a signal or had to be killed at the timeout.
  int Finish(std::chrono::seconds timeout = std::chrono::seconds(120));

  // Everything written to the terminal so far.
  const std::string& Output() const { return m_output; }
  // The terminal's mode and the bytes typed that nobody has read yet.
  termios Mode() const;
  int PendingInput() const;

 private:
  // Reads what arrives within `wait`: the number of bytes, 0 for none, -1 at a failure.
  int ReadSome(std::chrono::milliseconds wait);
  // Whether zvv has ended; collects its status once it has.
  bool Ended();

  std::filesystem::path m_folder;
  int m_master = -1;
  int m_slave = -1;
  pid_t m_child = -1;
  bool m_ended = false;
  int m_status = 0;
  std::string m_output;
};

// `text` without its escape sequences (CSI and the two-byte ones): what a
// reader of the drawn lines sees, cursor movements aside.
std::string WithoutEscapes(const std::string& text);

}  // namespace zvv::testing
