// End to end: zvv registers the component module beside it, creates the
// component through the registry once it is registered, and reports the
// module's version as the module's version block states it.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cli/module_version.h"
#include "cli/tests/support/zvv_process.h"

namespace zvv::testing {
namespace {

namespace fs = std::filesystem;

constexpr char kClassKey[] =
    "[HKEY_CLASSES_ROOT\\CLSID\\{E47FE2CC-A57B-11D2-BE8E-00C04F990001}\\InprocServer32]";

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string ModulePath() {
  return (fs::path(ZVV_EXECUTABLE).parent_path() / "libZoViveviVadiro.so").string();
}

TEST(ZvvRegistration, RegistersCreatesThroughTheRegistryAndUnregisters) {
  TempApp app;
  app.AddPage("a.htm", "Alpha", "alpha text");
  const std::string registry = (app.Root() / "registry.reg").string();
  const std::vector<std::string> search = {"--install-dir", app.Root().string(), "--no-ui",
                                           "alpha"};

  const RunResult registered = RunZvv({"register"}, registry);
  ASSERT_EQ(registered.m_exitCode, 0) << registered.m_err;
  EXPECT_EQ(registered.m_out, "Registered " + ModulePath() + "\n");
  const std::string text = ReadText(registry);
  ASSERT_NE(text.find(kClassKey), std::string::npos) << text;
  EXPECT_NE(text.find("@=\"" + ModulePath() + "\""), std::string::npos) << text;
  EXPECT_EQ(RunZvv(search, registry).m_exitCode, 0);

  // A registration that names a module that is not there proves that the
  // registry is used: creation fails instead of loading the module by hand.
  std::string broken = text;
  broken.replace(broken.find("@=\"" + ModulePath()), ModulePath().size() + 3,
                 "@=\"" + (app.Root() / "missing.so").string());
  std::ofstream(registry, std::ios::binary | std::ios::trunc) << broken;
  const RunResult failed = RunZvv(search, registry);
  EXPECT_EQ(failed.m_exitCode, 1);
  EXPECT_NE(failed.m_err.find("creating the help search component failed: 0x"), std::string::npos)
      << failed.m_err;

  const RunResult unregistered = RunZvv({"unregister"}, registry);
  ASSERT_EQ(unregistered.m_exitCode, 0) << unregistered.m_err;
  EXPECT_EQ(ReadText(registry).find("{E47FE2CC-A57B-11D2-BE8E-00C04F990001}"), std::string::npos);
  // Not registered any more: zvv loads the module beside it again.
  const RunResult fallback = RunZvv(search, registry);
  EXPECT_EQ(fallback.m_exitCode, 0) << fallback.m_err;
  EXPECT_EQ(fallback.m_out.substr(fallback.m_out.rfind('\n', fallback.m_out.size() - 2) + 1),
            "1 hit\n");
}

TEST(ZvvRegistration, AnUnregistrationThatDidNotTakeIsAFailure) {
  TempApp app;
  const std::string registry = (app.Root() / "registry.reg").string();
  ASSERT_EQ(RunZvv({"register"}, registry).m_exitCode, 0);
  // The registry is replaced through a file beside it; a folder in its place
  // makes every change fail, whoever runs the test.
  fs::create_directory(registry + ".new");
  const RunResult unregistered = RunZvv({"unregister"}, registry);
  EXPECT_EQ(unregistered.m_exitCode, 1);
  EXPECT_EQ(unregistered.m_out, "");
  EXPECT_NE(unregistered.m_err.find("zvv: unregistering " + ModulePath() + " failed"),
            std::string::npos)
      << unregistered.m_err;
  EXPECT_NE(ReadText(registry).find(kClassKey), std::string::npos);

  fs::remove(registry + ".new");
  const RunResult retried = RunZvv({"unregister"}, registry);
  EXPECT_EQ(retried.m_exitCode, 0) << retried.m_err;
}

// The module on this platform carries no version resource to read at run
// time, so zvv states the version itself; this keeps the two in step.
TEST(ZvvVersion, MatchesTheModulesVersionBlock) {
  const std::string script = ReadText(fs::path(ZVV_VERSION_BLOCK));
  ASSERT_FALSE(script.empty());
  std::string commas = kModuleVersion;
  for (char& c : commas) {
    if (c == '.') c = ',';
  }
  EXPECT_NE(script.find("FILEVERSION " + commas), std::string::npos) << commas;
  EXPECT_NE(script.find(std::string("VALUE \"ProductName\", \"") + kModuleProductName + "\""),
            std::string::npos);
  const RunResult version = RunZvv({"--version"});
  EXPECT_EQ(version.m_out, std::string(kModuleProductName) + " " + kModuleVersion + "\n");
}

}  // namespace
}  // namespace zvv::testing
