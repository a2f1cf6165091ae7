// End to end: which application folder zvv works on when none is named on the command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "cli/tests/support/zvv_process.h"

namespace zvv::testing {
namespace {

// The value of the status report's line that starts with `label`.
std::string ReportLine(const RunResult& result, const std::string& label) {
  for (const std::string& line : Lines(result.m_out)) {
    if (line.starts_with(label)) return line.substr(label.size());
  }
  return "(none) " + result.m_out + result.m_err;
}

std::string HelpLine(const RunResult& result) { return ReportLine(result, "Help folder: "); }

TEST(ZvvApplicationFolder, OptionThenEnvironmentThenSample) {
  TempApp fromOption;
  TempApp fromEnvironment;
  const RunResult sampleStatus = RunZvv({"status"});
  const std::string sample = HelpLine(sampleStatus);
  EXPECT_TRUE(sample.ends_with("/app/Help")) << sample;
  // The sample's index belongs to the program's own tree, never to the tree it was built from.
  const std::string programTree =
      std::filesystem::path(ZVV_EXECUTABLE).parent_path().parent_path().string() + "/";
  EXPECT_TRUE(ReportLine(sampleStatus, "Index: ").starts_with(programTree + "share/zvv/app/"))
      << sampleStatus.m_out;

  ScopedEnvironment environment("ZVV_INSTALL_DIR", fromEnvironment.Root().string());
  EXPECT_EQ(HelpLine(RunZvv({"status"})), fromEnvironment.Help().string());
  EXPECT_EQ(HelpLine(RunZvv({"status", "--install-dir", fromOption.Root().string()})),
            fromOption.Help().string());

  // Set but empty counts as not set.
  ScopedEnvironment empty("ZVV_INSTALL_DIR", "");
  EXPECT_EQ(HelpLine(RunZvv({"status"})), sample);
}

TEST(ZvvApplicationFolder, AFolderFromTheEnvironmentIsNamedAsSuch) {
  TempApp app;
  ScopedEnvironment environment("ZVV_INSTALL_DIR", (app.Root() / "missing").string());
  const RunResult result = RunZvv({"status"});
  EXPECT_EQ(result.m_exitCode, 1);
  EXPECT_TRUE(
      Contains(result.m_err, "Help folder not found: " + (app.Root() / "missing/Help").string() +
                                 " (from ZVV_INSTALL_DIR)"))
      << result.m_err;
}

}  // namespace
}  // namespace zvv::testing
