// @brief Process plumbing for the end-to-end tests, through the shell only.
#include "cli/tests/support/zvv_process.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <iterator>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace zvv::testing {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

namespace {

// Generous: a whole watch session on a loaded machine, sanitizers included.
constexpr int kProcessTimeoutSeconds = 120;

fs::path UniqueFolder(const std::string& stem) {
  static std::atomic<int> counter{0};
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path folder = fs::temp_directory_path() /
                    (stem + "-" + std::to_string(ticks) + "-" + std::to_string(++counter));
  fs::create_directories(folder);
  return folder;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// zvv under a deadline, with its own registry file.
std::string CommandLine(const std::vector<std::string>& args, const fs::path& registryFile) {
  std::string command = "ZVV_REGISTRY_FILE=" + ShellQuote(registryFile.string()) + " timeout " +
                        std::to_string(kProcessTimeoutSeconds) + " " + ShellQuote(ZVV_EXECUTABLE);
  for (const std::string& arg : args) command += ' ' + ShellQuote(arg);
  return command;
}

int ShellExitCode(const std::string& command, const fs::path& codeFile) {
  const std::string script = command + "; echo $? > " + ShellQuote(codeFile.string());
  if (std::system(script.c_str()) == -1) return -1;
  return std::stoi("0" + ReadFile(codeFile));
}

}  // namespace

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

TempApp::TempApp() : m_root(UniqueFolder("zvv-app")) { fs::create_directories(Help()); }

TempApp::~TempApp() {
  std::error_code error;
  fs::remove_all(m_root, error);
}

void TempApp::AddPage(const std::string& relativePath, const std::string& title,
                      const std::string& body) {
  const fs::path path = Help() / relativePath;
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" << title
      << "</title></head>\n<body><h1>" << title << "</h1><p>" << body << "</p></body></html>\n";
}

namespace {

// Runs `command` with standard input empty and both outputs captured in `folder`, which goes.
RunResult RunCaptured(const std::string& command, const fs::path& folder) {
  const std::string redirected = command + " </dev/null >" + ShellQuote((folder / "out").string()) +
                                 " 2>" + ShellQuote((folder / "err").string());
  RunResult result;
  result.m_exitCode = ShellExitCode(redirected, folder / "code");
  result.m_out = ReadFile(folder / "out");
  result.m_err = ReadFile(folder / "err");
  std::error_code error;
  fs::remove_all(folder, error);
  return result;
}

// `command` in a mount namespace of its own where `folder` is a read-only view of itself.
std::string SeeingReadOnly(const std::string& folder, const std::string& command) {
  return "unshare -rm sh -c " + ShellQuote("mount --bind -o ro " + ShellQuote(folder) + " " +
                                           ShellQuote(folder) + " && " + command);
}

}  // namespace

RunResult RunZvv(const std::vector<std::string>& args, const std::string& registryFile) {
  const fs::path folder = UniqueFolder("zvv-run");
  const fs::path registry = registryFile.empty() ? folder / "registry.reg" : fs::path(registryFile);
  return RunCaptured(CommandLine(args, registry), folder);
}

bool ReadOnlyViewsWork() {
  const fs::path folder = UniqueFolder("zvv-read-only");
  const bool works =
      std::system((SeeingReadOnly(folder.string(), "true") + " 2>/dev/null").c_str()) == 0;
  std::error_code error;
  fs::remove_all(folder, error);
  return works;
}

RunResult RunZvvSeeingReadOnly(const std::string& readOnlyFolder,
                               const std::vector<std::string>& args) {
  const fs::path folder = UniqueFolder("zvv-run");
  return RunCaptured(SeeingReadOnly(readOnlyFolder, CommandLine(args, folder / "registry.reg")),
                     folder);
}

RunResult RunZvvInto(const std::vector<std::string>& args, const std::string& outputPath,
                     const std::string& input) {
  const fs::path folder = UniqueFolder("zvv-into");
  std::ofstream(folder / "in", std::ios::binary) << input;
  const std::string command = CommandLine(args, folder / "registry.reg") + " <" +
                              ShellQuote((folder / "in").string()) + " >" + ShellQuote(outputPath) +
                              " 2>" + ShellQuote((folder / "err").string());
  RunResult result;
  result.m_exitCode = ShellExitCode(command, folder / "code");
  result.m_err = ReadFile(folder / "err");
  std::error_code error;
  fs::remove_all(folder, error);
  return result;
}

WatchProcess::WatchProcess(const std::vector<std::string>& args)
    : m_folder(UniqueFolder("zvv-watch")) {
  const fs::path fifo = m_folder / "in";
  if (std::system(("mkfifo " + ShellQuote(fifo.string())).c_str()) != 0) {
    throw std::runtime_error("mkfifo failed");
  }
  // The shell opens the pipe for reading, which waits for the writer below.
  const std::string command = CommandLine(args, m_folder / "registry.reg") + " <" +
                              ShellQuote(fifo.string()) + " 2>" +
                              ShellQuote((m_folder / "err").string()) + "; echo exit=$?";
  m_output = popen(command.c_str(), "r");
  if (!m_output) throw std::runtime_error("popen failed");
  m_input.open(fifo);
}

WatchProcess::~WatchProcess() {
  Finish();
  std::error_code error;
  fs::remove_all(m_folder, error);
}

void WatchProcess::Send(const std::string& line) {
  m_input << line << '\n';
  m_input.flush();
}

std::vector<std::string> WatchProcess::ReadAnswer() {
  std::vector<std::string> lines;
  char buffer[4096];
  while (m_output && std::fgets(buffer, sizeof buffer, m_output)) {
    std::string line(buffer);
    while (!line.empty() && line.back() == '\n') line.pop_back();
    if (line.rfind("exit=", 0) == 0) {
      m_exitCode = std::stoi(line.substr(5));
      return {};
    }
    lines.push_back(line);
    if (IsSummaryLine(line)) return lines;
  }
  return {};
}

int WatchProcess::Finish() {
  if (m_input.is_open()) m_input.close();
  if (m_output) {
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, m_output)) {
      const std::string line(buffer);
      if (line.rfind("exit=", 0) == 0) m_exitCode = std::stoi(line.substr(5));
    }
    pclose(m_output);
    m_output = nullptr;
  }
  return m_exitCode;
}

std::string WatchProcess::Errors() const {
  std::ifstream in(m_folder / "err", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

ScopedEnvironment::ScopedEnvironment(const char* name, const std::string& value) : m_name(name) {
  if (const char* old = std::getenv(name)) m_old = old;
  setenv(name, value.c_str(), 1);
}

ScopedEnvironment::~ScopedEnvironment() {
  if (m_old) {
    setenv(m_name, m_old->c_str(), 1);
  } else {
    unsetenv(m_name);
  }
}

bool IsSummaryLine(const std::string& line) {
  static const std::regex kSummary(
      R"(No pages match|\d+ hits?|\d+ of \d+ hits? shown|\d+ hits?,( all)? outside --dir .*)"
      R"(|\{"end":true,.*\})");
  return std::regex_match(line, kSummary);
}

}  // namespace zvv::testing
