// @brief A pseudo-terminal for end-to-end tests of what zvv draws and how it
// treats the terminal.
#include "cli/tests/support/terminal_session.h"

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>

namespace zvv::testing {
namespace {

namespace fs = std::filesystem;

fs::path FreshFolder() {
  static std::atomic<int> counter{0};
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path folder = fs::temp_directory_path() /
                    ("zvv-pty-" + std::to_string(ticks) + "-" + std::to_string(++counter));
  fs::create_directories(folder);
  return folder;
}

winsize WindowOf(TerminalSize size) {
  return {static_cast<unsigned short>(size.m_rows), static_cast<unsigned short>(size.m_columns), 0,
          0};
}

// In the child, between fork and exec: only what is safe there.
[[noreturn]] void RunChild(int slave, const std::vector<std::string>& args,
                           const std::vector<std::pair<std::string, std::string>>& environment,
                           const fs::path& registry) {
  setsid();
  ioctl(slave, TIOCSCTTY, 0);
  for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) dup2(slave, fd);
  if (slave > STDERR_FILENO) close(slave);
  setenv("TERM", "xterm", 1);
  unsetenv("COLUMNS");
  unsetenv("LINES");
  unsetenv("NO_COLOR");
  setenv("ZVV_REGISTRY_FILE", registry.c_str(), 1);
  for (const auto& [name, value] : environment) {
    if (value.empty()) {
      unsetenv(name.c_str());
    } else {
      setenv(name.c_str(), value.c_str(), 1);
    }
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(ZVV_EXECUTABLE));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  execv(ZVV_EXECUTABLE, argv.data());
  _exit(127);
}

}  // namespace

TerminalSession::TerminalSession(
    const std::vector<std::string>& args, TerminalSize size,
    const std::vector<std::pair<std::string, std::string>>& environment)
    : m_folder(FreshFolder()) {
  winsize window = WindowOf(size);
  if (openpty(&m_master, &m_slave, nullptr, nullptr, &window) != 0) return;
  // The test keeps the terminal open, so its mode and unread keys outlive zvv.
  m_child = fork();
  if (m_child == 0) RunChild(m_slave, args, environment, m_folder / "registry.reg");
}

TerminalSession::~TerminalSession() {
  if (m_child > 0 && !Ended()) {
    kill(m_child, SIGKILL);
    waitpid(m_child, nullptr, 0);
  }
  for (int fd : {m_master, m_slave}) {
    if (fd >= 0) close(fd);
  }
  std::error_code error;
  fs::remove_all(m_folder, error);
}

void TerminalSession::Type(const std::string& keys) {
  [[maybe_unused]] ssize_t written = write(m_master, keys.data(), keys.size());
}

void TerminalSession::Resize(TerminalSize size) {
  const winsize window = WindowOf(size);
  ioctl(m_master, TIOCSWINSZ, &window);
}

bool TerminalSession::Ended() {
  if (!m_ended && m_child > 0 && waitpid(m_child, &m_status, WNOHANG) == m_child) m_ended = true;
  return m_ended;
}

int TerminalSession::ReadSome(std::chrono::milliseconds wait) {
  pollfd entry{m_master, POLLIN, 0};
  const int ready = poll(&entry, 1, static_cast<int>(wait.count()));
  if (ready <= 0) return ready;
  char buffer[8192];
  const ssize_t got = read(m_master, buffer, sizeof buffer);
  if (got <= 0) return -1;
  m_output.append(buffer, static_cast<std::size_t>(got));
  return static_cast<int>(got);
}

bool TerminalSession::WaitFor(const std::string& text, std::size_t from,
                              std::chrono::seconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (m_output.find(text, std::min(from, m_output.size())) == std::string::npos) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    const bool ended = Ended();  // before the read, so that nothing written last is missed
    const int got = ReadSome(std::chrono::milliseconds(50));
    if (got < 0 || (got == 0 && ended)) return false;
  }
  return true;
}

int TerminalSession::Finish(std::chrono::seconds timeout) {
  if (m_child <= 0) return -1;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!Ended()) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(m_child, SIGKILL);
      waitpid(m_child, nullptr, 0);
      m_ended = true;
      return -1;
    }
    ReadSome(std::chrono::milliseconds(20));
  }
  while (ReadSome(std::chrono::milliseconds(50)) > 0) {
  }
  return WIFEXITED(m_status) ? WEXITSTATUS(m_status) : -1;
}

termios TerminalSession::Mode() const {
  termios mode{};
  tcgetattr(m_slave, &mode);
  return mode;
}

int TerminalSession::PendingInput() const {
  int count = 0;
  ioctl(m_slave, FIONREAD, &count);
  return count;
}

std::string WithoutEscapes(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\x1b') {
      out += text[i];
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '[') {
      i += 2;
      while (i < text.size() && (text[i] < 0x40 || text[i] > 0x7e)) ++i;
    } else {
      ++i;
    }
  }
  return out;
}

}  // namespace zvv::testing
