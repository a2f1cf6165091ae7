// End to end: a registry file that cannot be read stops zvv with a message
// that says so, whatever is wrong with it, instead of a crash or a silent
// fallback that hides the damage.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "cli/tests/support/zvv_process.h"

namespace zvv::testing {
namespace {

std::string NestedKeys(size_t levels) {
  std::string path = "HKEY_CLASSES_ROOT";
  path.reserve(levels * 2 + path.size());
  for (size_t level = 1; level < levels; ++level) {
    path += "\\k";
  }
  return "Windows Registry Editor Version 5.00\n\n[" + path + "]\n";
}

TEST(ZvvDamagedRegistry, SaysTheRegistryCannotBeRead) {
  struct Case {
    const char* m_title;
    std::string m_text;
  } const cases[] = {
      {"not registry text", "garbage\n"},
      // Once a stack overflow on every run (exit 139).
      {"keys nested a million levels deep", NestedKeys(1000000)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.m_title);
    TempApp app;
    app.AddPage("a.htm", "Alpha", "alpha text");
    const std::string registry = (app.Root() / "registry.reg").string();
    std::ofstream(registry, std::ios::binary) << c.m_text;
    const RunResult search =
        RunZvv({"--install-dir", app.Root().string(), "--no-ui", "alpha"}, registry);
    EXPECT_EQ(search.m_exitCode, 1);
    EXPECT_EQ(search.m_out, "");
    EXPECT_NE(search.m_err.find("creating the help search component failed: 0x80040150 "
                                "REGDB_E_READREGDB: the registry could not be read: " +
                                registry + "\n"),
              std::string::npos)
        << search.m_err;
    // Registering reads the file before it would change it.
    const RunResult registered = RunZvv({"register"}, registry);
    EXPECT_EQ(registered.m_exitCode, 1);
    EXPECT_NE(
        registered.m_err.find(
            "failed: 0x800703F1 ERROR_BADDB: the registry file is damaged: " + registry + "\n"),
        std::string::npos)
        << registered.m_err;
  }
}

}  // namespace
}  // namespace zvv::testing
