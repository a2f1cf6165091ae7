// @brief Runs the real zvv program for the end-to-end tests.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace zvv::testing {

struct RunResult {
  int m_exitCode = -1;
  std::string m_out;
  std::string m_err;
};

// The lines of a program's output, without their line ends.
std::vector<std::string> Lines(const std::string& text);
bool Contains(const std::string& text, const std::string& part);

// A shell word that stands for `text` exactly.
std::string ShellQuote(const std::string& text);

// An application folder under the system's temporary folder, removed at the end.
class TempApp {
 public:
  TempApp();
  TempApp(const TempApp&) = delete;
  TempApp& operator=(const TempApp&) = delete;
  ~TempApp();

  // Writes Help/<relativePath> as a page with this title and body text.
  void AddPage(const std::string& relativePath, const std::string& title, const std::string& body);
  std::filesystem::path Root() const { return m_root; }
  std::filesystem::path Help() const { return m_root / "Help"; }

 private:
  std::filesystem::path m_root;
};

// Runs zvv with `args`, standard input empty; captures both outputs. The
// component registry is `registryFile`, or a fresh empty one when that is
// empty, so that no registration outside the test is seen.
RunResult RunZvv(const std::vector<std::string>& args, const std::string& registryFile = {});

// Whether this machine lets a test show the programs it starts a folder as read-only (a
// private mount namespace, which needs no privileges where user namespaces are allowed):
// tests that need it skip without it. Permissions would not do: a test run as root ignores
// them.
bool ReadOnlyViewsWork();

// As RunZvv with a fresh registry, with `readOnlyFolder` read-only for zvv, whoever runs it.
RunResult RunZvvSeeingReadOnly(const std::string& readOnlyFolder,
                               const std::vector<std::string>& args);

// As RunZvv, with standard output written to `outputPath` (a full device, say)
// and `input` on standard input; m_out stays empty.
RunResult RunZvvInto(const std::vector<std::string>& args, const std::string& outputPath,
                     const std::string& input = {});

// zvv watch fed through a pipe: lines go in, answers are read back. A timeout
// wrapped around the process bounds every read.
class WatchProcess {
 public:
  explicit WatchProcess(const std::vector<std::string>& args);
  WatchProcess(const WatchProcess&) = delete;
  WatchProcess& operator=(const WatchProcess&) = delete;
  ~WatchProcess();

  void Send(const std::string& line);
  // The lines of the next answer, its summary line last; empty when the
  // process ended first.
  std::vector<std::string> ReadAnswer();
  // Ends the input and returns the exit code.
  int Finish();
  // What the process wrote to standard error so far.
  std::string Errors() const;

 private:
  std::filesystem::path m_folder;
  std::FILE* m_output = nullptr;
  std::ofstream m_input;
  int m_exitCode = -1;
};

// Sets an environment variable for the programs a test starts, and restores it at the end.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value);
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  ~ScopedEnvironment();

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

// True for the line that ends every table answer, and for the line that ends every answer of
// zvv watch --json.
bool IsSummaryLine(const std::string& line);

}  // namespace zvv::testing
