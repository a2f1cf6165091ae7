// End to end: output that cannot be written makes every command fail.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/tests/support/zvv_process.h"

namespace zvv::testing {
namespace {

// A device on which every write fails for want of space.
constexpr char kFullDevice[] = "/dev/full";

TEST(ZvvWriteErrors, EveryCommandFailsWhenItsOutputIsLost) {
  if (!std::filesystem::exists(kFullDevice)) GTEST_SKIP() << "no full device";
  TempApp app;
  app.AddPage("a.htm", "Alpha", "alpha text");
  const std::vector<std::string> base = {"--install-dir", app.Root().string(), "--no-ui"};
  struct Case {
    std::string m_name;
    std::vector<std::string> m_args;
    std::string m_input;
  };
  const auto with = [&base](std::vector<std::string> args) {
    args.insert(args.begin(), base.begin(), base.end());
    return args;
  };
  const std::vector<Case> cases = {
      {"index", with({"index"}), ""},
      {"search", with({"alpha"}), ""},
      {"json", with({"--json", "alpha"}), ""},
      {"no hits", with({"xylophone"}), ""},
      {"watch", with({"watch"}), "alpha\nalpha\n"},
      {"help", {"--help"}, ""},
      {"version", {"--version"}, ""},
  };
  for (const Case& c : cases) {
    const RunResult result = RunZvvInto(c.m_args, kFullDevice, c.m_input);
    EXPECT_EQ(result.m_exitCode, 1) << c.m_name << ": " << result.m_err;
    EXPECT_TRUE(Contains(result.m_err, "zvv: writing to standard output failed"))
        << c.m_name << ": " << result.m_err;
  }
}

}  // namespace
}  // namespace zvv::testing
