// Tests of the key order and of the set difference.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "component/index/document_set.h"
#include "component/index/set_difference.h"

namespace {

std::vector<std::string> InOrder(const DocumentSet& set) { return {set.begin(), set.end()}; }

TEST(DocumentSetTest, OrdersBytesAsUnsignedCaseSensitiveShorterPrefixFirst) {
  // "\xC3\xA9" (a UTF-8 é) must sort after every ASCII byte, which it would
  // not if the bytes were compared as signed char.
  DocumentSet set = {"a\xC3\xA9", "az", "A", "a", "ab", "B"};
  EXPECT_EQ(InOrder(set), (std::vector<std::string>{"A", "B", "a", "ab", "az", "a\xC3\xA9"}));
}

TEST(DocumentSetTest, HoldsEachKeyOnce) {
  DocumentSet set;
  set.insert("/h/a.htm");
  set.insert("/h/a.htm");
  set.insert("/h/A.htm");
  EXPECT_EQ(set.size(), 2u);
}

struct DifferenceCase {
  const char* sName;
  DocumentSet first;
  DocumentSet second;
  std::vector<std::string> expected;
};

TEST(SetDifferenceTest, KeepsKeysOfTheFirstSetThatTheSecondLacks) {
  const std::vector<DifferenceCase> cases = {
      {"both empty", {}, {}, {}},
      {"second empty", {"a", "b"}, {}, {"a", "b"}},
      {"first empty", {}, {"a"}, {}},
      {"equal", {"a", "b"}, {"a", "b"}, {}},
      {"new key before all", {"0", "a", "b"}, {"a", "b"}, {"0"}},
      {"new key after all", {"a", "b", "z"}, {"a", "b"}, {"z"}},
      {"interleaved", {"a", "c", "e", "g"}, {"b", "c", "d", "g", "h"}, {"a", "e"}},
      {"case differs", {"/H/a.htm"}, {"/h/a.htm"}, {"/H/a.htm"}},
      {"high bytes", {"\xC3\xA9", "b"}, {"b"}, {"\xC3\xA9"}},
  };
  for (const DifferenceCase& c : cases) {
    DocumentSet out;
    SetDifference(c.first, c.second, out);
    EXPECT_EQ(InOrder(out), c.expected) << c.sName;
  }
}

TEST(SetDifferenceTest, AddsToWhatTheOutputAlreadyHolds) {
  DocumentSet out = {"keep"};
  SetDifference({"new"}, {}, out);
  EXPECT_EQ(InOrder(out), (std::vector<std::string>{"keep", "new"}));
}

}  // namespace
