// The registry file as every reader and writer shares it: what its values keep, where it lives,
// how a change replaces it and how writers in two processes keep each other's keys.
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "winport/src/registry/registry_file.h"
#include "winport/tests/registry/registry_fixture.h"

namespace winport_test {
namespace {

using winport::registry::ChangeRegistry;
using winport::registry::Key;
using winport::registry::ReadRegistry;
using winport::registry::Value;

using RegistryPersistence = RegistryTest;

constexpr char kRoot[] = "HKEY_CLASSES_ROOT\\";

// Sets a value of HKEY_CLASSES_ROOT\path, creating the keys.
LONG SetValue(const std::string& path, const std::string& name, const Value& value) {
  if (!PutKey(path)) {
    return ERROR_BADDB;
  }
  return ChangeRegistry([&](Key& top, bool* modified) -> LONG {
    Key* key = winport::registry::Lookup(top, kRoot + path);
    if (!key) {
      return ERROR_FILE_NOT_FOUND;
    }
    key->m_values[name] = value;
    *modified = true;
    return ERROR_SUCCESS;
  });
}

// The value as the file gives it back.
std::optional<Value> ReadValue(const std::string& path, const std::string& name) {
  std::optional<Value> read;
  const LONG status = ReadRegistry([&](const Key& top) -> LONG {
    const Key* key = winport::registry::Lookup(top, kRoot + path);
    if (key && key->m_values.count(name)) {
      read = key->m_values.at(name);
    }
    return ERROR_SUCCESS;
  });
  return status == ERROR_SUCCESS ? read : std::nullopt;
}

TEST_F(RegistryPersistence, ValuesOfEveryKindSurviveTheFile) {
  const struct {
    const char* name;
    Value value;
  } cases[] = {
      {"", winport::registry::TextValue("x\"y\\z")},
      {"Lines", winport::registry::TextValue("one\ntwo")},
      {"Number", {REG_DWORD, {0xcd, 0xab, 0x34, 0x12}}},
      {"Bytes", {REG_BINARY, {0, 1, 0xff}}},
      {"Empty", {REG_BINARY, {}}},
  };
  for (const auto& c : cases) ASSERT_EQ(ERROR_SUCCESS, SetValue("A.B\\Sub", c.name, c.value));
  for (const auto& c : cases) {
    const std::optional<Value> read = ReadValue("a.b\\SUB", c.name);  // names ignore case
    ASSERT_TRUE(read) << c.name;
    EXPECT_EQ(c.value.m_type, read->m_type) << c.name;
    EXPECT_EQ(c.value.m_data, read->m_data) << c.name;
  }
  const std::string file = FileText();
  EXPECT_EQ(0u, file.find("Windows Registry Editor Version 5.00\n"));
  EXPECT_NE(std::string::npos, file.find("[HKEY_CLASSES_ROOT\\A.B\\Sub]\n@=\"x\\\"y\\\\z\"\n"));
  EXPECT_NE(std::string::npos, file.find("\"Number\"=dword:1234abcd\n"));
  // A name spelt differently is the same key, and keeps its first spelling.
  Put("a.b\\sub", "again");
  EXPECT_NE(std::string::npos, FileText().find("[HKEY_CLASSES_ROOT\\A.B\\Sub]\n@=\"again\"\n"));
}

TEST_F(RegistryPersistence, AFileThatIsNotRegistryTextIsReportedNotReplaced) {
  Put("Kept", "k");
  WriteFile(m_file, "garbage\n");
  EXPECT_EQ(ERROR_BADDB, ReadRegistry([](const Key&) -> LONG { return ERROR_SUCCESS; }));
  EXPECT_FALSE(PutKey("New", "n"));
  EXPECT_EQ("garbage\n", FileText());
}

TEST_F(RegistryPersistence, TheDataFolderIsTheDefaultPlace) {
  ::unsetenv("ZVV_REGISTRY_FILE");
  const std::string data = m_folder / "xdg";
  ::setenv("XDG_DATA_HOME", data.c_str(), 1);
  Put("Placed", "here");
  ::unsetenv("XDG_DATA_HOME");
  std::ifstream in(data + "/zovivevivadiro/registry.reg");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(std::string::npos, text.str().find("[HKEY_CLASSES_ROOT\\Placed]\n@=\"here\""));
}

// A change writes a new file and renames it over the old one: a reader that
// opened the old file goes on reading all of it, whatever is written meanwhile.
TEST_F(RegistryPersistence, AChangeReplacesTheFileWhole) {
  Put("First", "one");
  const std::string before = FileText();
  std::ifstream reader(m_file, std::ios::binary);
  ASSERT_TRUE(reader.good());
  Put("Second", "two");
  std::stringstream seen;
  seen << reader.rdbuf();
  EXPECT_EQ(before, seen.str());
  EXPECT_NE(std::string::npos, FileText().find("[HKEY_CLASSES_ROOT\\Second]"));
  EXPECT_FALSE(std::filesystem::exists(m_file + ".new"));
}

// Each child adds its own keys one change at a time while the other does the
// same; a lost update would drop keys of one of them.
TEST_F(RegistryPersistence, TwoProcessesWritingAtOnceKeepEveryKey) {
  constexpr int kKeys = 100;
  std::vector<pid_t> children;
  for (int child = 0; child < 2; ++child) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int failures = 0;
      for (int i = 0; i < kKeys; ++i) {
        const std::string path = "Child" + std::to_string(child) + "\\Key" + std::to_string(i);
        failures += PutKey(path, path) ? 0 : 1;
      }
      ::_exit(failures == 0 ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(pid, ::waitpid(pid, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (int child = 0; child < 2; ++child) {
    for (int i = 0; i < kKeys; ++i) {
      const std::string path = "Child" + std::to_string(child) + "\\Key" + std::to_string(i);
      ASSERT_EQ(path, Text(path));
    }
  }
}

}  // namespace
}  // namespace winport_test
