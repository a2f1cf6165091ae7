// Keys and values through the Reg* functions, kept in the registry file.
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "winport/tests/registry/registry_fixture.h"

namespace winport_test {
namespace {

using RegistryApi = RegistryTest;

TEST_F(RegistryApi, CreatedKeysAndValuesAreReadBackFromTheFile) {
  HKEY key = nullptr;
  DWORD disposition = 0;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, "A.B\\Sub", 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &key, &disposition));
  EXPECT_EQ(static_cast<DWORD>(REG_CREATED_NEW_KEY), disposition);
  const DWORD number = 0x1234abcd;
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "Number", 0, REG_DWORD,
                                          reinterpret_cast<const BYTE*>(&number), sizeof number));
  // Text without its terminator gets one.
  ASSERT_EQ(ERROR_SUCCESS,
            RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("x\"y\\z"), 5));
  ASSERT_EQ(ERROR_SUCCESS, RegCloseKey(key));

  EXPECT_EQ("x\"y\\z", Text("a.b\\SUB"));  // names ignore case
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, "A.B\\Sub", 0, KEY_READ, &key));
  DWORD type = 0, read = 0, size = sizeof read;
  ASSERT_EQ(ERROR_SUCCESS,
            RegQueryValueExA(key, "number", nullptr, &type, reinterpret_cast<BYTE*>(&read), &size));
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
  EXPECT_EQ(number, read);
  RegCloseKey(key);

  const std::string file = FileText();
  EXPECT_EQ(0u, file.find("Windows Registry Editor Version 5.00\n"));
  EXPECT_NE(std::string::npos, file.find("[HKEY_CLASSES_ROOT\\A.B\\Sub]\n@=\"x\\\"y\\\\z\"\n"));
  EXPECT_NE(std::string::npos, file.find("\"Number\"=dword:1234abcd\n"));

  // Opening again reports an existing key and keeps the first spelling.
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, "a.b", 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &key, &disposition));
  EXPECT_EQ(static_cast<DWORD>(REG_OPENED_EXISTING_KEY), disposition);
  char name[16];
  DWORD length = sizeof name;
  ASSERT_EQ(ERROR_SUCCESS,
            RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr));
  EXPECT_STREQ("Sub", name);
  EXPECT_EQ(3u, length);
  RegCloseKey(key);
}

TEST_F(RegistryApi, ValuesThatAreNotPlainTextSurviveTheFile) {
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, "Odd", 0, nullptr, 0, KEY_ALL_ACCESS,
                                           nullptr, &key, nullptr));
  const char twoLines[] = "one\ntwo";
  const BYTE binary[] = {0, 1, 0xff};
  ASSERT_EQ(ERROR_SUCCESS,
            RegSetValueExA(key, "Lines", 0, REG_SZ, reinterpret_cast<const BYTE*>(twoLines),
                           sizeof twoLines));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "Bytes", 0, REG_BINARY, binary, sizeof binary));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "Empty", 0, REG_BINARY, nullptr, 0));
  RegCloseKey(key);

  EXPECT_EQ(twoLines, Text("Odd", "Lines"));
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, "Odd", 0, KEY_READ, &key));
  BYTE read[8] = {};
  DWORD type = 0, size = sizeof read;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Bytes", nullptr, &type, read, &size));
  EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
  ASSERT_EQ(sizeof binary, size);
  EXPECT_EQ(0, std::memcmp(binary, read, size));
  size = sizeof read;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Empty", nullptr, &type, read, &size));
  EXPECT_EQ(0u, size);
  RegCloseKey(key);
}

TEST_F(RegistryApi, FailuresGiveTheWindowsCodes) {
  Put("Parent\\Child", "cc");
  HKEY key = nullptr;
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(HKEY_CLASSES_ROOT, "Nothing", 0, KEY_READ, &key));
  EXPECT_EQ(nullptr, key);
  EXPECT_EQ(ERROR_BAD_PATHNAME, RegCreateKeyExA(HKEY_CLASSES_ROOT, "a\\\\b", 0, nullptr, 0,
                                                KEY_ALL_ACCESS, nullptr, &key, nullptr));
  EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(reinterpret_cast<HKEY>(&key)));
  EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyA(HKEY_CLASSES_ROOT, "Parent"));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKeyA(HKEY_CLASSES_ROOT, "Parent\\Other"));

  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, "Parent\\Child", 0, KEY_READ, &key));
  char small[2];
  DWORD size = sizeof small;
  EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(key, nullptr, nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(small), &size));
  EXPECT_EQ(3u, size);
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(key, "none", nullptr, nullptr, nullptr, &size));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValueA(key, "none"));
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteValueA(key, nullptr));
  EXPECT_EQ("<missing>", Text("Parent\\Child"));
  // A key deleted under an open handle is gone for that handle too.
  ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CLASSES_ROOT, "Parent\\Child"));
  EXPECT_EQ(ERROR_KEY_DELETED,
            RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("v"), 2));
  RegCloseKey(key);

  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CLASSES_ROOT, "Parent", 0, KEY_READ, &key));
  char name[8];
  DWORD length = sizeof name;
  EXPECT_EQ(ERROR_NO_MORE_ITEMS,
            RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr));
  RegCloseKey(key);
  EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CLASSES_ROOT, "Parent"));
  EXPECT_FALSE(Exists("Parent"));
}

TEST_F(RegistryApi, AFileThatIsNotRegistryTextIsReportedNotReplaced) {
  Put("Kept", "k");
  WriteFile(m_file, "garbage\n");
  HKEY key = nullptr;
  EXPECT_EQ(ERROR_BADDB, RegOpenKeyExA(HKEY_CLASSES_ROOT, "Kept", 0, KEY_READ, &key));
  EXPECT_EQ(ERROR_BADDB, RegCreateKeyExA(HKEY_CLASSES_ROOT, "New", 0, nullptr, 0, KEY_ALL_ACCESS,
                                         nullptr, &key, nullptr));
  EXPECT_EQ("garbage\n", FileText());
}

TEST_F(RegistryApi, TheDataFolderIsTheDefaultPlace) {
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
TEST_F(RegistryApi, AChangeReplacesTheFileWhole) {
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
TEST_F(RegistryApi, TwoProcessesWritingAtOnceKeepEveryKey) {
  constexpr int kKeys = 100;
  std::vector<pid_t> children;
  for (int child = 0; child < 2; ++child) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int failures = 0;
      for (int i = 0; i < kKeys; ++i) {
        const std::string path = "Child" + std::to_string(child) + "\\Key" + std::to_string(i);
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr) != ERROR_SUCCESS ||
            RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                           static_cast<DWORD>(path.size() + 1)) != ERROR_SUCCESS) {
          ++failures;
        }
        RegCloseKey(key);
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
