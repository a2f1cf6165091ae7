// UTF-8 and UTF-16 conversion of the owners' header: the platform's own rules,
// malformed input included.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "winport/owners.h"

namespace {

struct Narrowed {
  const char* m_name;
  std::string m_utf8;
  std::u16string m_wide;
};

// Test listings show the case's name instead of its bytes.
void PrintTo(const Narrowed& narrowed, std::ostream* out) { *out << narrowed.m_name; }

class Utf8ToOleCase : public ::testing::TestWithParam<Narrowed> {};

TEST_P(Utf8ToOleCase, GivesTheWideText) {
  EXPECT_EQ(winport::Utf8ToOle(GetParam().m_utf8), GetParam().m_wide);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf8ToOleCase,
    ::testing::Values(Narrowed{"Empty", "", u""}, Narrowed{"Accented", "caf\xC3\xA9", u"caf\u00E9"},
                      Narrowed{"BeyondTheBasicPlane", "\xF0\x9F\x94\x8D", u"\U0001F50D"},
                      Narrowed{"EmbeddedNul", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
                      // One U+FFFD per malformed piece, not per byte.
                      Narrowed{"CutShortInTheMiddle", "\xE2\x82x", u"\uFFFDx"},
                      Narrowed{"CutShortAtTheEnd", "ab\xE2\x82", u"ab\uFFFD"},
                      Narrowed{"EncodedSurrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
                      Narrowed{"StrayByte",
                               "a\xFF"
                               "b",
                               u"a\uFFFDb"}),
    [](const ::testing::TestParamInfo<Narrowed>& info) { return std::string(info.param.m_name); });

TEST(OleToUtf8, RoundTripsAndReplacesAnUnpairedSurrogate) {
  const std::u16string wide = u"Gr\u00FC\u00DFe \u20AC \U0001F50D";
  EXPECT_EQ(winport::OleToUtf8(wide.data(), wide.size()),
            "Gr\xC3\xBC\xC3\x9F"
            "e \xE2\x82\xAC \xF0\x9F\x94\x8D");
  const char16_t lone[] = {u'a', 0xD800, u'b'};
  EXPECT_EQ(winport::OleToUtf8(lone, 3),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(winport::OleToUtf8(u"\0x", 2), std::string("\0x", 2));
  EXPECT_EQ(winport::OleToUtf8(nullptr, 0), "");
}

}  // namespace
