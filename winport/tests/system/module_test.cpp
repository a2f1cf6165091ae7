// Modules: loading, symbols, file names and module handles, against Windows behaviour.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "winport/win32.h"

namespace {

const char kLibc[] = "libc.so.6";

std::string FileNameOf(HMODULE module) {
  char buffer[PATH_MAX];
  const DWORD length = GetModuleFileNameA(module, buffer, sizeof buffer);
  return std::string(buffer, length);
}

int LocalFunction() { return 1; }

TEST(Module, TheSameLibraryHasOneHandleHoweverItIsFound) {
  HMODULE loaded = LoadLibraryA(kLibc);
  ASSERT_NE(loaded, nullptr) << GetLastError();
  FARPROC symbol = GetProcAddress(loaded, "strlen");
  ASSERT_NE(symbol, nullptr);
  EXPECT_EQ(WinportModuleFromAddress(reinterpret_cast<const void*>(symbol)), loaded);
  EXPECT_EQ(GetModuleHandleA(kLibc), loaded);
  EXPECT_TRUE(FreeLibrary(loaded));
}

TEST(Module, AWinportAddressNamesTheWinportLibraryByItsPath) {
  HMODULE self = WinportModuleFromAddress(reinterpret_cast<const void*>(&GetLastError));
  ASSERT_NE(self, nullptr);
  EXPECT_NE(self, GetModuleHandleA(nullptr));
  const std::string path = FileNameOf(self);
  ASSERT_EQ(path.front(), '/');
  EXPECT_NE(path.find("libwinport"), std::string::npos) << path;

  // Loading it by that path gives the same handle, and the reference is counted.
  HMODULE loaded = LoadLibraryA(path.c_str());
  EXPECT_EQ(loaded, self);
  EXPECT_EQ(LoadLibraryA(path.c_str()), self);
  EXPECT_TRUE(FreeLibrary(loaded));
  EXPECT_TRUE(FreeLibrary(loaded));
  EXPECT_FALSE(FreeLibrary(loaded));  // no LoadLibraryA reference left to free
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(Module, TheExecutableIsTheNullModule) {
  HMODULE executable = GetModuleHandleA(nullptr);
  ASSERT_NE(executable, nullptr);
  EXPECT_EQ(WinportModuleFromAddress(reinterpret_cast<const void*>(&LocalFunction)), executable);
  char* expected = ::realpath("/proc/self/exe", nullptr);
  ASSERT_NE(expected, nullptr);
  EXPECT_EQ(FileNameOf(nullptr), expected);
  EXPECT_EQ(FileNameOf(executable), expected);
  std::free(expected);
  EXPECT_TRUE(DisableThreadLibraryCalls(executable));
}

TEST(Module, FileNameTruncatesAsWindowsDoes) {
  const std::string full = FileNameOf(nullptr);
  ASSERT_GT(full.size(), 5u);
  char buffer[6];
  std::memset(buffer, '#', sizeof buffer);
  SetLastError(ERROR_SUCCESS);
  EXPECT_EQ(GetModuleFileNameA(nullptr, buffer, 5), 5u);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(std::string(buffer), full.substr(0, 4));
  EXPECT_EQ(buffer[5], '#');
}

TEST(Module, FailuresGiveModOrProcNotFound) {
  EXPECT_EQ(LoadLibraryA("libwinport-no-such-library.so"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);

  HMODULE libc = LoadLibraryA(kLibc);
  ASSERT_NE(libc, nullptr);
  EXPECT_EQ(GetProcAddress(libc, "winport_no_such_symbol"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  EXPECT_TRUE(FreeLibrary(libc));

  int on_stack = 0;
  EXPECT_EQ(WinportModuleFromAddress(&on_stack), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(WinportModuleFromAddress(nullptr), nullptr);

  // A module handle that is not a loaded object's base.
  HMODULE inside =
      reinterpret_cast<HMODULE>(reinterpret_cast<char*>(GetModuleHandleA(nullptr)) + 16);
  EXPECT_EQ(GetProcAddress(inside, "main"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  char buffer[64];
  EXPECT_EQ(GetModuleFileNameA(inside, buffer, sizeof buffer), 0u);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(GetModuleHandleA("libwinport-no-such-library.so"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

}  // namespace
