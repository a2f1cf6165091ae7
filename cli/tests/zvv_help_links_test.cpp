// End to end: zvv index over a help folder whose links lead back into it.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/tests/support/zvv_process.h"

namespace zvv::testing {
namespace {

namespace fs = std::filesystem;

// A link back to a folder above is left out; every page is still indexed,
// once, and the build is not reported as done over an empty index.
TEST(ZvvHelpLinks, ALinkLoopIsLeftOutAndEveryPageIsFoundOnce) {
  TempApp app;
  app.AddPage("top.htm", "Top page", "the lighthouse keeper");
  app.AddPage("guide/deep/lamp.htm", "Lamp page", "the lighthouse lamp");
  fs::create_directory_symlink("..", app.Help() / "guide/back");
  fs::create_directory_symlink(".", app.Help() / "self");

  const RunResult indexed = RunZvv({"--install-dir", app.Root().string(), "--no-ui", "index"});
  ASSERT_EQ(indexed.m_exitCode, 0) << indexed.m_err;
  const RunResult found = RunZvv({"--install-dir", app.Root().string(), "--no-ui", "lighthouse"});
  ASSERT_EQ(found.m_exitCode, 0) << found.m_err;
  EXPECT_EQ(Lines(found.m_out).back(), "2 hits") << found.m_out;
}

}  // namespace
}  // namespace zvv::testing
