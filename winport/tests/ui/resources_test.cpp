// LoadStringA and FindResourceA against Windows behaviour: truncation to the
// caller's buffer with a terminator, 0 and an empty text for a missing entry,
// and resources found by the module handle that names their module.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "winport/module_resources.h"
#include "winport/tests/ui/sample_resources.h"

namespace {

struct LoadCase {
  UINT id;
  int size;
  int expectedCount;
  const char* expectedText;
};

class LoadStringTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(LoadStringTest, CopiesTruncatesAndTerminates) {
  const LoadCase& c = GetParam();
  char buffer[80];
  std::memset(buffer, 'x', sizeof buffer);
  SetLastError(0);
  EXPECT_EQ(c.expectedCount, LoadStringA(sample::Module(), c.id, buffer, c.size));
  EXPECT_STREQ(c.expectedText, buffer);
  // Nothing beyond the caller's buffer is touched.
  EXPECT_EQ('x', buffer[c.size]);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, LoadStringTest,
    ::testing::Values(LoadCase{101, 64, 17, "Create Help Index"},
                      LoadCase{102, 13, 12, "Twelve chars"},  // exactly fits with its terminator
                      LoadCase{102, 12, 11, "Twelve char"},   // one short: truncated
                      LoadCase{102, 1, 0, ""},                // room for the terminator only
                      LoadCase{103, 8, 0, ""},                // an empty entry
                      LoadCase{999, 8, 0, ""},                // no such entry
                      // UTF-16 in the table, UTF-8 out, a pair made one code point
                      LoadCase{104, 32, 14, "G\xc3\xa9n\xc3\xa9rer \xf0\x9d\x84\x9e"},
                      LoadCase{5000, 32, 13, "five thousand"}));  // another block

TEST(LoadString, MissingEntryReportsResourceNameNotFound) {
  char buffer[8] = "keep";
  SetLastError(0);
  EXPECT_EQ(0, LoadStringA(sample::Module(), 4242, buffer, sizeof buffer));
  EXPECT_STREQ("", buffer);
  EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), GetLastError());
}

TEST(LoadString, BadBufferFailsWithoutWriting) {
  char buffer[4] = "abc";
  EXPECT_EQ(0, LoadStringA(sample::Module(), 101, buffer, 0));
  EXPECT_STREQ("abc", buffer);
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
  EXPECT_EQ(0, LoadStringA(sample::Module(), 101, nullptr, 10));
}

TEST(LoadString, NullInstanceIsTheProgramAndOtherModulesHaveTheirOwn) {
  char buffer[32];
  ASSERT_NE(nullptr, sample::Module());
  EXPECT_EQ(sample::Module(), GetModuleHandleA(nullptr));
  EXPECT_EQ(17, LoadStringA(nullptr, 101, buffer, sizeof buffer));
  // winport's own module registered nothing.
  HMODULE winport = WinportModuleFromAddress(reinterpret_cast<const void*>(&LoadStringA));
  ASSERT_NE(nullptr, winport);
  ASSERT_NE(sample::Module(), winport);
  EXPECT_EQ(0, LoadStringA(winport, 101, buffer, sizeof buffer));
}

// A resource file of one string block holding string 7001, "extra".
const unsigned char* ExtraResources(std::size_t* size) {
  static unsigned char file[128];           // in the test program, as a module's resources are
  std::vector<unsigned char> bytes(32, 0);  // the empty entry that opens a file
  bytes[4] = 32;
  const auto add = [&](std::initializer_list<WORD> words) {
    for (WORD word : words) {
      bytes.push_back(static_cast<unsigned char>(word & 0xFF));
      bytes.push_back(static_cast<unsigned char>(word >> 8));
    }
  };
  // 42 bytes of data, a 32-byte header, type 6 (strings), block 7001 / 16 + 1.
  add({42, 0, 32, 0, 0xFFFF, 6, 0xFFFF, 7001 / 16 + 1, 0, 0, 0x1030, 0x0409, 0, 0, 0, 0});
  add({0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 'e', 'x', 't', 'r', 'a', 0, 0, 0, 0, 0, 0});
  std::memcpy(file, bytes.data(), bytes.size());
  *size = bytes.size();
  return file;
}

TEST(LoadString, UnregisteredFileIsGone) {
  std::size_t size = 0;
  const unsigned char* extra = ExtraResources(&size);
  char buffer[32];
  ASSERT_TRUE(WinportRegisterResources(extra, size));
  EXPECT_EQ(5, LoadStringA(sample::Module(), 7001, buffer, sizeof buffer));
  EXPECT_STREQ("extra", buffer);
  // The first file still answers for its own ids.
  EXPECT_EQ(17, LoadStringA(sample::Module(), 101, buffer, sizeof buffer));
  WinportUnregisterResources(extra);
  EXPECT_EQ(0, LoadStringA(sample::Module(), 7001, buffer, sizeof buffer));
}

TEST(LoadString, DamagedOrHomelessBytesAreNotRegistered) {
  std::size_t size = 0;
  const unsigned char* extra = ExtraResources(&size);
  EXPECT_FALSE(WinportRegisterResources(extra, size - 1));
  std::vector<unsigned char> onTheHeap(extra, extra + size);
  EXPECT_FALSE(WinportRegisterResources(onTheHeap.data(), size));
  char buffer[32];
  EXPECT_EQ(0, LoadStringA(sample::Module(), 7001, buffer, sizeof buffer));
}

TEST(FindResource, FindsRawDataByTypeNameAndId) {
  HRSRC found = FindResourceA(sample::Module(), MAKEINTRESOURCEA(101), "registry");
  ASSERT_NE(nullptr, found);
  EXPECT_EQ(sizeof sample::kBlob, SizeofResource(sample::Module(), found));
  HGLOBAL loaded = LoadResource(sample::Module(), found);
  ASSERT_NE(nullptr, loaded);
  EXPECT_EQ(0, std::memcmp(sample::kBlob, LockResource(loaded), sizeof sample::kBlob));
}

TEST(FindResource, TellsMissingTypeFromMissingName) {
  SetLastError(0);
  EXPECT_EQ(nullptr, FindResourceA(sample::Module(), MAKEINTRESOURCEA(102), "REGISTRY"));
  EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), GetLastError());
  EXPECT_EQ(nullptr, FindResourceA(sample::Module(), MAKEINTRESOURCEA(101), "TYPELIB"));
  EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND), GetLastError());
}

TEST(FindResource, VersionBlockKeepsItsFixedPart) {
  HRSRC found = FindResourceA(sample::Module(), MAKEINTRESOURCEA(1), RT_VERSION);
  ASSERT_NE(nullptr, found);
  ASSERT_LE(40u + 16u, SizeofResource(sample::Module(), found));
  const auto* block = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, found)));
  // After the block's header and its key: the signature, the structure's
  // version and the file version 4.0.1.7 as two 32-bit words.
  const DWORD expected[] = {0xFEEF04BD, 0x00010000, 0x00040000, 0x00010007};
  DWORD fixed[4];
  std::memcpy(fixed, block + 40, sizeof fixed);
  EXPECT_EQ(0, std::memcmp(expected, fixed, sizeof fixed));
}

}  // namespace
