// Error codes, system message texts and local memory, against Windows behaviour.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <thread>

#include "winport/tests/system/temp_folder.h"
#include "winport/win32.h"

namespace {

using winport_test::TempFolder;

TEST(LastError, IsKeptPerThread) {
  SetLastError(ERROR_ACCESS_DENIED);
  DWORD seen_by_other = 12345;
  std::thread([&] {
    seen_by_other = GetLastError();
    SetLastError(ERROR_INVALID_HANDLE);
  }).join();
  EXPECT_EQ(seen_by_other, ERROR_SUCCESS);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST(ErrnoMapping, MapsEachErrnoToItsWindowsCode) {
  const struct {
    int error_number;
    DWORD expected;
  } cases[] = {
      {0, ERROR_SUCCESS},
      {ENOENT, ERROR_FILE_NOT_FOUND},
      {EACCES, ERROR_ACCESS_DENIED},
      {EPERM, ERROR_ACCESS_DENIED},
      {EBADF, ERROR_INVALID_HANDLE},
      {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
      {EINVAL, ERROR_INVALID_PARAMETER},
      {EEXIST, ERROR_ALREADY_EXISTS},
      {ENOTDIR, ERROR_DIRECTORY},
      {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},
      {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
      {ENOSPC, ERROR_DISK_FULL},
      {ETIMEDOUT, ERROR_TIMEOUT},
      {ENOTSUP, ERROR_NOT_SUPPORTED},
      {ETXTBSY, ERROR_SHARING_VIOLATION},
      {EILSEQ, ERROR_NO_UNICODE_TRANSLATION},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WinportErrorFromErrno(c.error_number), c.expected) << std::strerror(c.error_number);
  }
}

TEST(ErrnoMapping, TellsMissingFileFromMissingParent) {
  TempFolder folder;
  winport_test::WriteFile(folder / "file", "x");
  EXPECT_EQ(WinportErrorFromErrno(ENOENT, (folder / "missing").c_str()), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(WinportErrorFromErrno(ENOENT, (folder / "missing/child").c_str()),
            ERROR_PATH_NOT_FOUND);
  // A file where a folder is expected in the middle of a path: the path is not found.
  EXPECT_EQ(WinportErrorFromErrno(ENOTDIR, (folder / "file/child").c_str()), ERROR_PATH_NOT_FOUND);
  // The path itself is a file where a folder was wanted.
  EXPECT_EQ(WinportErrorFromErrno(ENOTDIR, (folder / "file").c_str()), ERROR_DIRECTORY);
}

std::string SystemText(DWORD id, DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                               FORMAT_MESSAGE_FROM_SYSTEM |
                                               FORMAT_MESSAGE_IGNORE_INSERTS) {
  LPSTR text = nullptr;
  const DWORD length = FormatMessageA(flags, nullptr, id, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                      reinterpret_cast<LPSTR>(&text), 0, nullptr);
  if (length == 0) return "<failed " + std::to_string(GetLastError()) + ">";
  std::string result(text);
  EXPECT_EQ(result.size(), length);
  EXPECT_EQ(LocalFree(text), nullptr);
  return result;
}

TEST(FormatMessage, GivesTheSystemTextEndedByCrLf) {
  EXPECT_EQ(SystemText(ERROR_FILE_NOT_FOUND), std::string(std::strerror(ENOENT)) + "\r\n");
  EXPECT_EQ(SystemText(ERROR_ACCESS_DENIED), std::string(std::strerror(EACCES)) + "\r\n");
  EXPECT_EQ(SystemText(ERROR_ALREADY_EXISTS), std::string(std::strerror(EEXIST)) + "\r\n");
  EXPECT_EQ(SystemText(ERROR_NOT_OWNER), std::string(std::strerror(EPERM)) + "\r\n");
}

TEST(FormatMessage, UndoesHresultFromWin32) {
  EXPECT_EQ(SystemText(static_cast<DWORD>(HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND))),
            SystemText(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(SystemText(static_cast<DWORD>(E_ACCESSDENIED)), SystemText(ERROR_ACCESS_DENIED));
}

TEST(FormatMessage, GivesTheTableTextForHresultsWithoutAnErrorNumber) {
  EXPECT_EQ(SystemText(static_cast<DWORD>(E_FAIL)), "unspecified failure\r\n");
  EXPECT_EQ(SystemText(static_cast<DWORD>(DISP_E_TYPEMISMATCH)), "a value has the wrong type\r\n");
  // A code the system's error numbers cover keeps the system's text.
  EXPECT_EQ(SystemText(static_cast<DWORD>(E_OUTOFMEMORY)),
            std::string(std::strerror(ENOMEM)) + "\r\n");
}

TEST(HresultTable, NamesEachCodeOnce) {
  struct Named {
    HRESULT code;
    const char* name;
  };
  for (const Named& named :
       {Named{S_OK, "S_OK"}, Named{E_FAIL, "E_FAIL"}, Named{E_INVALIDARG, "E_INVALIDARG"},
        Named{REGDB_E_CLASSNOTREG, "REGDB_E_CLASSNOTREG"},
        Named{CO_E_ERRORINDLL, "CO_E_ERRORINDLL"},
        Named{DISP_E_PARAMNOTOPTIONAL, "DISP_E_PARAMNOTOPTIONAL"},
        Named{TYPE_E_CANTLOADLIBRARY, "TYPE_E_CANTLOADLIBRARY"}}) {
    const WinportHresultText* known = WinportFindHresult(named.code);
    ASSERT_NE(known, nullptr) << named.name;
    EXPECT_STREQ(known->name, named.name);
    EXPECT_GT(std::strlen(known->text), 0u) << named.name;
  }
  EXPECT_EQ(WinportFindHresult(static_cast<HRESULT>(0x80001234)), nullptr);
  EXPECT_EQ(WinportFindHresult(static_cast<HRESULT>(ERROR_FILE_NOT_FOUND)), nullptr);
}

TEST(FormatMessage, FailsWithMessageNotFoundForUnknownCodes) {
  LPSTR text = nullptr;
  for (DWORD id : {DWORD{ERROR_MR_MID_NOT_FOUND}, DWORD{0x7777}, DWORD{0xC0001234}}) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                             id, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr),
              0u);
    EXPECT_EQ(GetLastError(), ERROR_MR_MID_NOT_FOUND) << id;
  }
  EXPECT_EQ(text, nullptr);
}

TEST(FormatMessage, WritesIntoACallerBufferOnlyWhenItFits) {
  const std::string expected = std::string(std::strerror(ENOENT)) + "\r\n";
  char buffer[256];
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_FILE_NOT_FOUND, 0, buffer,
                           sizeof buffer, nullptr),
            expected.size());
  EXPECT_EQ(std::string(buffer), expected);

  char small[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_FILE_NOT_FOUND, 0, small,
                           sizeof small, nullptr),
            0u);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

TEST(FormatMessage, MaxWidthMaskDropsTheLineBreak) {
  EXPECT_EQ(
      SystemText(ERROR_FILE_NOT_FOUND, FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                           FORMAT_MESSAGE_MAX_WIDTH_MASK),
      std::strerror(ENOENT));
}

TEST(FormatMessage, RefusesSourcesOtherThanTheSystem) {
  char buffer[64];
  EXPECT_EQ(
      FormatMessageA(FORMAT_MESSAGE_FROM_STRING, "text %1", 0, 0, buffer, sizeof buffer, nullptr),
      0u);
  EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
}

TEST(LocalMemory, ZeroInitialisesOnRequestAndFreesToNull) {
  auto* block = static_cast<unsigned char*>(LocalAlloc(LPTR, 64));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(block[i], 0) << i;
  EXPECT_EQ(LocalFree(block), nullptr);
  EXPECT_EQ(LocalFree(nullptr), nullptr);
}

TEST(LanguageIds, ComposeAsOnWindows) {
  EXPECT_EQ(MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), 0x400);
  EXPECT_EQ(MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT), 0x409);
  EXPECT_EQ(PRIMARYLANGID(0x409), LANG_ENGLISH);
}

}  // namespace
