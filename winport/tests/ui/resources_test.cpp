// LoadStringA and FindResourceA against Windows behaviour: truncation to the
// caller's buffer with a terminator, 0 and an empty text for a missing entry,
// and resources found by the module handle that names their module.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

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
                      LoadCase{999, 8, 0, ""}));              // no such entry

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

TEST(LoadString, UnregisteredTableIsGone) {
  static constexpr winport::StringResource kExtra[] = {{7001, "extra"}};
  static constexpr winport::ResourceTable kExtraTable = {kExtra, 1, nullptr, 0, nullptr, 0};
  char buffer[32];
  WinportRegisterResources(&kExtraTable, &kExtraTable);
  EXPECT_EQ(5, LoadStringA(sample::Module(), 7001, buffer, sizeof buffer));
  // The first table still answers for its own ids.
  EXPECT_EQ(17, LoadStringA(sample::Module(), 101, buffer, sizeof buffer));
  WinportUnregisterResources(&kExtraTable);
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

}  // namespace
