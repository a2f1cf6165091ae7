// Current folder, folder listings, folders and attributes, against Windows behaviour.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "winport/tests/system/temp_folder.h"
#include "winport/win32.h"

namespace {

using winport_test::CurrentFolderGuard;
using winport_test::TempFolder;
using winport_test::WriteFile;

struct Entry {
  std::string name;
  DWORD attributes;
  ULONGLONG size;
  ULONGLONG write_time;
};

using SearchStart = HANDLE (*)(LPCSTR, LPWIN32_FIND_DATAA);

// Every entry a search finds, in order; the last error after the search ended.
std::vector<Entry> List(const std::string& pattern, DWORD* end_error = nullptr,
                        SearchStart start = FindFirstFileA) {
  std::vector<Entry> entries;
  WIN32_FIND_DATAA data;
  HANDLE search = start(pattern.c_str(), &data);
  if (search == INVALID_HANDLE_VALUE) {
    if (end_error) *end_error = GetLastError();
    return entries;
  }
  do {
    entries.push_back({data.cFileName, data.dwFileAttributes,
                       (ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
                       (ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32) |
                           data.ftLastWriteTime.dwLowDateTime});
  } while (FindNextFileA(search, &data));
  if (end_error) *end_error = GetLastError();
  EXPECT_TRUE(FindClose(search));
  return entries;
}

std::vector<std::string> Names(const std::vector<Entry>& entries) {
  std::vector<std::string> names;
  for (const Entry& entry : entries) names.push_back(entry.name);
  return names;
}

class FolderSearch : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(m_folder / "b.htm", "12345");
    WriteFile(m_folder / "A.txt", "");
    WriteFile(m_folder / ".hidden", "x");
    ASSERT_EQ(::mkdir((m_folder / "sub").c_str(), 0755), 0);
  }
  TempFolder m_folder;
};

TEST_F(FolderSearch, StarDotStarListsDotsFirstThenEveryEntryWithAttributes) {
  DWORD end = 0;
  const auto entries = List(m_folder / "*.*", &end);
  EXPECT_EQ(end, ERROR_NO_MORE_FILES);
  ASSERT_EQ(Names(entries),
            (std::vector<std::string>{".", "..", ".hidden", "A.txt", "b.htm", "sub"}));
  EXPECT_EQ(entries[0].attributes, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(entries[1].attributes, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(entries[2].attributes, FILE_ATTRIBUTE_NORMAL);  // a dot-file is not hidden
  EXPECT_EQ(entries[4].attributes, FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(entries[4].size, 5u);
  EXPECT_EQ(entries[5].attributes, FILE_ATTRIBUTE_DIRECTORY);

  // Write times are FILETIMEs: 100 ns ticks since 1601.
  struct stat info;
  ASSERT_EQ(::stat((m_folder / "b.htm").c_str(), &info), 0);
  const ULONGLONG expected =
      (static_cast<ULONGLONG>(info.st_mtim.tv_sec) + 11644473600ull) * 10000000ull +
      static_cast<ULONGLONG>(info.st_mtim.tv_nsec) / 100;
  EXPECT_EQ(entries[4].write_time, expected);
}

TEST_F(FolderSearch, PatternsMatchStarAndQuestionMarkIgnoringCase) {
  const struct {
    const char* pattern;
    std::vector<std::string> names;
  } cases[] = {
      {"*", {".", "..", ".hidden", "A.txt", "b.htm", "sub"}},
      {"*.htm", {"b.htm"}},
      {"*.HTM", {"b.htm"}},
      {"?.t?t", {"A.txt"}},
      {"?.*m", {"b.htm"}},
      {"s*", {"sub"}},
      {"sub.*", {"sub"}},  // ".*" also matches a name without an extension
      {"*t*", {"A.txt", "b.htm"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Names(List(m_folder / c.pattern)), c.names) << c.pattern;
  }
}

TEST_F(FolderSearch, APlainPathFindsThatOneEntry) {
  auto entries = List(m_folder / "sub");
  ASSERT_EQ(Names(entries), std::vector<std::string>{"sub"});
  EXPECT_EQ(entries[0].attributes, FILE_ATTRIBUTE_DIRECTORY);
  entries = List(m_folder / "b.htm");
  ASSERT_EQ(Names(entries), std::vector<std::string>{"b.htm"});
  EXPECT_EQ(entries[0].size, 5u);
}

TEST_F(FolderSearch, ReadOnlyFilesCarryTheReadOnlyAttribute) {
  ASSERT_EQ(::chmod((m_folder / "b.htm").c_str(), 0444), 0);
  const auto entries = List(m_folder / "b.htm");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].attributes, FILE_ATTRIBUTE_READONLY);
}

TEST_F(FolderSearch, NothingFoundFailsWithFileOrPathNotFound) {
  const struct {
    std::string path;
    DWORD error;
  } cases[] = {
      {m_folder / "missing", ERROR_FILE_NOT_FOUND},
      {m_folder / "*.none", ERROR_FILE_NOT_FOUND},
      {m_folder / "missing/x", ERROR_PATH_NOT_FOUND},
      {m_folder / "missing/*.*", ERROR_PATH_NOT_FOUND},
      {m_folder / "b.htm/*.*", ERROR_PATH_NOT_FOUND},
  };
  for (const auto& c : cases) {
    WIN32_FIND_DATAA data;
    EXPECT_EQ(FindFirstFileA(c.path.c_str(), &data), INVALID_HANDLE_VALUE) << c.path;
    EXPECT_EQ(GetLastError(), c.error) << c.path;
  }
}

TEST_F(FolderSearch, ARootListingHasNoDots) {
  for (const std::string& name : Names(List("/*"))) {
    EXPECT_NE(name, ".");
    EXPECT_NE(name, "..");
  }
}

TEST_F(FolderSearch, ClosedSearchHandlesAreRefused) {
  WIN32_FIND_DATAA data;
  HANDLE search = FindFirstFileA((m_folder / "*").c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(CloseHandle(search));  // only FindClose closes a search
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_TRUE(FindClose(search));
  EXPECT_FALSE(FindNextFileA(search, &data));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(FindClose(search));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

// The listing-only search finds what the full one finds, in the same order,
// with the same folder marks (a link followed to a folder is one), but reads
// no sizes or times.
TEST_F(FolderSearch, TheNamesOnlySearchFindsTheSameEntriesAndFolderMarks) {
  ASSERT_EQ(::symlink("sub", (m_folder / "to-sub").c_str()), 0);
  ASSERT_EQ(::symlink("missing", (m_folder / "dangling.htm").c_str()), 0);
  for (const char* pattern : {"*.*", "*.htm", "s*"}) {
    DWORD full_end = 0;
    DWORD names_end = 0;
    const auto full = List(m_folder / pattern, &full_end);
    const auto names = List(m_folder / pattern, &names_end, WinportFindFirstFileNamesA);
    EXPECT_EQ(names_end, full_end) << pattern;
    ASSERT_EQ(Names(names), Names(full)) << pattern;
    for (size_t i = 0; i < names.size(); ++i) {
      EXPECT_EQ(names[i].attributes & FILE_ATTRIBUTE_DIRECTORY,
                full[i].attributes & FILE_ATTRIBUTE_DIRECTORY)
          << names[i].name;
    }
  }
  const auto entries = List(m_folder / "b.htm", nullptr, WinportFindFirstFileNamesA);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].size, 5u);  // a plain path is looked up: its details are known
  for (const Entry& entry : List(m_folder / "*.htm", nullptr, WinportFindFirstFileNamesA)) {
    if (entry.name == "b.htm") {
      EXPECT_EQ(entry.size, 0u);
      EXPECT_EQ(entry.write_time, 0u);
      EXPECT_EQ(entry.attributes, FILE_ATTRIBUTE_NORMAL);
    }
  }

  // Nothing is looked at after the listing but links: a page removed meanwhile is still
  // found, a link removed meanwhile is not.
  WIN32_FIND_DATAA data;
  HANDLE search = WinportFindFirstFileNamesA((m_folder / "*").c_str(), &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  ASSERT_EQ(::unlink((m_folder / "dangling.htm").c_str()), 0);
  ASSERT_EQ(::unlink((m_folder / "b.htm").c_str()), 0);
  std::vector<std::string> rest;
  while (FindNextFileA(search, &data)) rest.push_back(data.cFileName);
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
  EXPECT_TRUE(FindClose(search));
  EXPECT_EQ(rest, (std::vector<std::string>{"..", ".hidden", "A.txt", "b.htm", "sub", "to-sub"}));
}

std::string SystemText(DWORD id) {
  LPSTR text = nullptr;
  if (FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                         FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, id, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                     reinterpret_cast<LPSTR>(&text), 0, nullptr) == 0) {
    return {};
  }
  std::string result(text);
  LocalFree(text);
  return result;
}

TEST(CreateDirectory, CreatesOneLevelAndReportsErrorsWithTheirTexts) {
  TempFolder folder;
  EXPECT_TRUE(CreateDirectoryA((folder / "new").c_str(), nullptr));
  EXPECT_TRUE(std::filesystem::is_directory(folder / "new"));

  EXPECT_FALSE(CreateDirectoryA((folder / "missing/new").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), 3u);
  EXPECT_EQ(SystemText(GetLastError()), std::string(std::strerror(ENOENT)) + "\r\n");

  EXPECT_FALSE(CreateDirectoryA((folder / "new").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), 183u);
  EXPECT_EQ(SystemText(GetLastError()), std::string(std::strerror(EEXIST)) + "\r\n");
}

TEST(CurrentDirectory, ChangesAndReportsTheCurrentFolder) {
  CurrentFolderGuard restore;
  TempFolder folder;
  ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
  char buffer[4096];
  const DWORD length = GetCurrentDirectoryA(sizeof buffer, buffer);
  ASSERT_GT(length, 0u);
  ASSERT_EQ(length, std::strlen(buffer));
  // Compare the folders themselves: the temporary folder's path may pass a link.
  struct stat here, there;
  ASSERT_EQ(::stat(buffer, &here), 0);
  ASSERT_EQ(::stat(folder.Path().c_str(), &there), 0);
  EXPECT_EQ(here.st_ino, there.st_ino);

  // Too small a buffer: the size needed, terminator included.
  char tiny[2];
  EXPECT_EQ(GetCurrentDirectoryA(sizeof tiny, tiny), length + 1);
  EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), length + 1);
}

TEST(CurrentDirectory, FailsForMissingFoldersAndFilesWithWindowsCodes) {
  CurrentFolderGuard restore;
  TempFolder folder;
  WriteFile(folder / "file", "x");
  const struct {
    std::string path;
    DWORD error;
  } cases[] = {
      {folder / "missing", ERROR_PATH_NOT_FOUND},
      {folder / "missing/deeper", ERROR_PATH_NOT_FOUND},
      {folder / "file", ERROR_DIRECTORY},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(SetCurrentDirectoryA(c.path.c_str())) << c.path;
    EXPECT_EQ(GetLastError(), c.error) << c.path;
  }
  // The text callers show for a missing folder is the system's own.
  EXPECT_FALSE(SetCurrentDirectoryA((folder / "missing").c_str()));
  EXPECT_EQ(SystemText(GetLastError()), std::string(std::strerror(ENOENT)) + "\r\n");
  EXPECT_FALSE(SetCurrentDirectoryA((folder / "file").c_str()));
  EXPECT_EQ(SystemText(GetLastError()), std::string(std::strerror(ENOTDIR)) + "\r\n");
}

}  // namespace
