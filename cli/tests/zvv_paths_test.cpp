// End to end: the paths zvv prints are ones a user can act on: pasted into a shell, or opened
// with --open.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "cli/tests/support/json_reader.h"
#include "cli/tests/support/zvv_process.h"

namespace zvv::testing {
namespace {

namespace fs = std::filesystem;

class ZvvPaths : public ::testing::Test {
 protected:
  ZvvPaths() {
    for (const char* name : {"plain.htm", "new page.htm", "it's.htm", "a$b(c).htm"}) {
      m_app.AddPage(name, "Zebra", "zebra");
    }
    fs::create_directories(m_bin);
    // The shell that runs zvv needs timeout; xdg-open is whatever a test puts here.
    fs::create_symlink("/usr/bin/timeout", m_bin / "timeout");
  }

  RunResult Zvv(std::vector<std::string> args) {
    args.insert(args.begin(), {"--install-dir", m_app.Root().string(), "--no-ui"});
    return RunZvv(args);
  }

  // A fake xdg-open that records its argument and exits with `status`.
  void FakeOpener(int status) {
    std::ofstream(m_bin / "xdg-open")
        << "#!/bin/sh\nprintf '%s' \"$1\" > '" << m_opened.string() << "'\nexit " << status << "\n";
    fs::permissions(m_bin / "xdg-open", fs::perms::owner_all);
  }

  std::string Opened() const {
    std::ifstream in(m_opened);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  // The pages' full paths, best first.
  std::vector<std::string> Keys() {
    std::vector<std::string> keys;
    for (const std::string& line : Lines(Zvv({"--json", "zebra"}).m_out)) {
      keys.push_back(ParseFlatObject(line).value()["key"].m_text);
    }
    return keys;
  }

  TempApp m_app;
  fs::path m_bin = m_app.Root() / "bin";
  fs::path m_opened = m_app.Root() / "opened";
};

// What follows the title: the path column.
std::string PathOf(const std::string& line) { return line.substr(line.rfind("  ") + 2); }

TEST_F(ZvvPaths, EveryPrintedPathNamesItsFileInAShell) {
  for (const bool absolute : {false, true}) {
    std::vector<std::string> args = {"zebra"};
    if (absolute) args.push_back("--absolute");
    const RunResult result = Zvv(args);
    ASSERT_EQ(result.m_exitCode, 0) << result.m_err;
    std::vector<std::string> lines = Lines(result.m_out);
    ASSERT_EQ(lines.size(), absolute ? 5u : 6u) << result.m_out;
    if (!absolute) {
      EXPECT_EQ(lines[0], "Help folder: " + m_app.Help().string());
      lines.erase(lines.begin());
    }
    lines.pop_back();  // the summary
    std::string words;
    for (const std::string& line : lines) words += " " + PathOf(line);
    const std::string folder = absolute ? m_app.Help().string() + "/" : "";
    EXPECT_TRUE(Contains(words, " '" + folder + "new page.htm'")) << words;
    EXPECT_TRUE(Contains(words, " " + folder + "plain.htm")) << words;
    // The shell, from the printed folder, finds every file by the words as printed.
    const std::string command = "cd " + ShellQuote(m_app.Help().string()) + " && for f in" + words +
                                "; do test -f \"$f\" || exit 1; done";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
  }
}

TEST_F(ZvvPaths, OpenHandsTheChosenHitToXdgOpen) {
  const std::vector<std::string> keys = Keys();
  ASSERT_EQ(keys.size(), 4u);
  FakeOpener(0);
  ScopedEnvironment path("PATH", m_bin.string());
  struct Case {
    std::vector<std::string> args;
    std::string opened;
  };
  const Case cases[] = {
      {{"--open", "2", "zebra"}, keys[1]},
      {{"zebra", "--open=4"}, keys[3]},
      {{"zebra", "--open"}, keys[0]},
      {{"--json", "--open", "3", "zebra"}, keys[2]},
  };
  for (const Case& c : cases) {
    fs::remove(m_opened);
    const RunResult result = Zvv(c.args);
    EXPECT_EQ(result.m_exitCode, 0) << result.m_err;
    EXPECT_EQ(Opened(), c.opened);
    // The answer is printed as without --open.
    EXPECT_TRUE(Contains(result.m_out, "plain.htm")) << result.m_out;
  }
}

TEST_F(ZvvPaths, OpenSaysWhyItCouldNot) {
  ScopedEnvironment path("PATH", m_bin.string());
  struct Case {
    int opener;  // exit status of the fake xdg-open; -1 for none on PATH
    std::vector<std::string> args;
    std::string message;
  };
  const Case cases[] = {
      {-1, {"--open", "zebra"}, "--open needs xdg-open, which is not on PATH"},
      {0, {"--open", "5", "zebra"}, "--open 5: only 4 hits were printed"},
      {0, {"--limit", "1", "--open", "2", "zebra"}, "--open 2: only 1 hit was printed"},
      {0, {"--open", "xylophone"}, "--open 1: no hit was printed"},
      {3, {"--open", "zebra"}, "xdg-open could not open " + m_app.Help().string() + "/"},
  };
  for (const Case& c : cases) {
    fs::remove(m_bin / "xdg-open");
    if (c.opener >= 0) FakeOpener(c.opener);
    const RunResult result = Zvv(c.args);
    EXPECT_EQ(result.m_exitCode, 1) << c.message;
    EXPECT_TRUE(Contains(result.m_err, c.message)) << result.m_err;
    // Only xdg-open's own failure comes after the answer was printed.
    EXPECT_EQ(result.m_out.empty(), c.opener != 3) << result.m_out;
  }
  EXPECT_EQ(Zvv({"--open", "0", "zebra"}).m_exitCode, 2);
}

}  // namespace
}  // namespace zvv::testing
