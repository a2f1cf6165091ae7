// BSTR layout: the byte-count prefix, the terminator, embedded NULs and the
// null string.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "winport/owners.h"
#include "winport/tests/support/hr_assert.h"
#include "winport/win32.h"

namespace {

using winport::Bstr;

uint32_t PrefixOf(BSTR s) {
  uint32_t bytes;
  std::memcpy(&bytes, reinterpret_cast<const char*>(s) - sizeof bytes, sizeof bytes);
  return bytes;
}

TEST(BstrTest, PrefixHoldsTheByteCountAndTextIsTerminated) {
  Bstr s(u"help");
  ASSERT_FALSE(s.IsNull());
  EXPECT_EQ(4u * sizeof(OLECHAR), PrefixOf(s.Get()));
  EXPECT_EQ(4u, SysStringLen(s.Get()));
  EXPECT_EQ(0, s.Get()[4]);
}

TEST(BstrTest, EmbeddedNulsArePartOfTheValue) {
  const OLECHAR text[] = {u'a', 0, u'b', 0, u'c'};
  Bstr s(text, 5);
  EXPECT_EQ(5u, SysStringLen(s.Get()));
  EXPECT_EQ(0, std::memcmp(text, s.Get(), sizeof text));
  EXPECT_EQ(0, s.Get()[5]);
  // A copy keeps what follows the first NUL.
  Bstr copy = s.Copy();
  EXPECT_EQ(5u, copy.Length());
  EXPECT_EQ(u'c', copy.Get()[4]);
}

TEST(BstrTest, NullStringReadsAsEmpty) {
  EXPECT_EQ(nullptr, SysAllocString(nullptr));
  EXPECT_EQ(0u, SysStringLen(nullptr));
  SysFreeString(nullptr);  // must be harmless
  Bstr empty(u"");
  ASSERT_FALSE(empty.IsNull());
  EXPECT_EQ(0u, empty.Length());
}

TEST(BstrTest, NullSourceGivesAZeroFilledStringOfTheLength) {
  Bstr s(nullptr, 3);
  ASSERT_FALSE(s.IsNull());
  EXPECT_EQ(3u, s.Length());
  for (int i = 0; i <= 3; ++i) EXPECT_EQ(0, s.Get()[i]);
}

TEST(BstrTest, Utf8ConversionsRoundTripAllPlanes) {
  const std::string text = "Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC \xF0\x9F\x94\x8D";  // Grüße € 🔍
  Bstr s = Bstr::FromUtf8(text);
  // ü, ß and € are one unit each; the magnifier is a surrogate pair.
  EXPECT_EQ(10u, s.Length());
  EXPECT_EQ(text, s.ToUtf8());
  EXPECT_EQ(std::u16string(u"a\uFFFDb"), std::u16string(Bstr::FromUtf8("a\xFF"
                                                                       "b")
                                                            .Get()));
}

}  // namespace
