// The comparison behind zvv index and zvv status, and the short forms they print.
#include <gtest/gtest.h>

#include "cli/index_changes.h"
#include "cli/index_report.h"

namespace zvv {
namespace {

TEST(ComparePages, SortsEveryKeyIntoOneKind) {
  const PageStamps before = {{"/h/a", {1, 10}}, {"/h/b", {1, 10}}, {"/h/c", {1, 10}},
                             {"/h/d", {1, 10}}, {"/h/e", {1, 10}}, {"/h/g", kUnknownStamp}};
  const PageStamps after = {{"/h/0", {1, 10}},        // added before every old key
                            {"/h/b", {2, 10}},        // size differs
                            {"/h/c", {1, 11}},        // time differs
                            {"/h/d", {1, 10}},        // the same
                            {"/h/e", kUnknownStamp},  // unknown now: taken as unchanged
                            {"/h/f", {1, 10}},        // added between old keys
                            {"/h/g", {5, 5}},         // unknown before
                            {"/h/z", {1, 10}}};       // added after every old key
  const PageChanges changes = ComparePages(before, after);
  EXPECT_EQ(changes.m_added, (std::vector<std::string>{"/h/0", "/h/f", "/h/z"}));
  EXPECT_EQ(changes.m_changed, (std::vector<std::string>{"/h/b", "/h/c"}));
  EXPECT_EQ(changes.m_removed, (std::vector<std::string>{"/h/a"}));
  EXPECT_TRUE(changes.Any());
  EXPECT_FALSE(ComparePages(after, after).Any());
  EXPECT_EQ(ComparePages({}, after).m_added.size(), after.size());
  EXPECT_EQ(ComparePages(before, {}).m_removed.size(), before.size());
}

TEST(IndexReportText, NamesAFewThenCountsTheRest) {
  EXPECT_EQ(NameList({}, 3), "");
  EXPECT_EQ(NameList({"a.htm"}, 3), "a.htm");
  EXPECT_EQ(NameList({"a", "b", "c"}, 3), "a, b, c");
  EXPECT_EQ(NameList({"a", "b", "c", "d", "e"}, 3), "a, b, c and 2 more");
  // A page's name cannot drive the terminal the report is printed on.
  EXPECT_EQ(NameList({"bad\x1b[2J.htm"}, 3), "bad\\x1b[2J.htm");

  EXPECT_EQ(ByteSize(1), "1 byte");
  EXPECT_EQ(ByteSize(1023), "1023 bytes");
  EXPECT_EQ(ByteSize(1024), "1 KiB");
  EXPECT_EQ(ByteSize(1536), "2 KiB");
  EXPECT_EQ(ByteSize(1024 * 1024 - 1), "1024 KiB");
  EXPECT_EQ(ByteSize(1024 * 1024 * 3 / 2), "1.5 MiB");
}

}  // namespace
}  // namespace zvv
