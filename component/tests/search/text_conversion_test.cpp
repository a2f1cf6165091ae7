// Tests of the wide and narrow text conversions.
#include <gtest/gtest.h>

#include "component/search/text_conversion.h"

namespace {

TEST(TextConversionTest, RoundTripsTextOutsideAscii) {
  const char16_t sWide[] = u"Caf\u00e9 \u65e5\u672c \U0001F600";
  const std::string sNarrow = WideToNarrow(sWide);
  EXPECT_EQ(sNarrow, "Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x98\x80");
  EXPECT_EQ(NarrowToWide(sNarrow.c_str()), WideString(sWide));
}

TEST(TextConversionTest, StopsAtTheFirstNulAndTakesNullAsEmpty) {
  const char16_t sWide[] = {u'a', u'b', 0, u'c', 0};
  EXPECT_EQ(WideToNarrow(sWide), "ab");
  EXPECT_EQ(WideToNarrow(nullptr), "");
  EXPECT_EQ(NarrowToWide(nullptr), WideString());
  EXPECT_EQ(NarrowToWide(""), WideString());
}

TEST(TextConversionTest, MapsWhatCannotBeConvertedToAQuestionMark) {
  const char16_t sLoneSurrogates[] = {u'a', 0xD800, u'b', 0xDC00, 0};
  EXPECT_EQ(WideToNarrow(sLoneSurrogates), "a?b?");
  EXPECT_EQ(NarrowToWide("a\xFF"
                         "b\xC3"),
            WideString(u"a?b?"));
  EXPECT_EQ(NarrowToWide("\xC3\xA9\x80\xE6\x97\xA5"), WideString(u"\u00e9?\u65e5"));
}

}  // namespace
