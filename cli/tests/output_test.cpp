// Output formatting: JSON escaping, fitting titles, the table and its summary.
#include "cli/output.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/json.h"
#include "cli/tests/support/json_reader.h"

namespace zvv {
namespace {

TEST(JsonString, EscapesWhatJsonRequiresAndKeepsUtf8) {
  EXPECT_EQ(JsonString("plain"), "\"plain\"");
  EXPECT_EQ(JsonString("say \"hi\""), "\"say \\\"hi\\\"\"");
  EXPECT_EQ(JsonString("C:\\Help"), "\"C:\\\\Help\"");
  EXPECT_EQ(JsonString("a\nb\tc\r"), "\"a\\nb\\tc\\r\"");
  EXPECT_EQ(JsonString(std::string("\x01\x1f\x7f", 3)), "\"\\u0001\\u001f\\u007f\"");
  EXPECT_EQ(JsonString("caf\xC3\xA9"), "\"caf\xC3\xA9\"");
}

TEST(HitToJson, RoundTripsThroughAStrictReader) {
  const Hit hit{"87", "Quotes \"here\" \\ and\ttabs", "/app/Help/a \"b\".htm", "a \"b\".htm"};
  const auto object = testing::ParseFlatObject(HitToJson(hit));
  ASSERT_TRUE(object) << HitToJson(hit);
  EXPECT_FALSE(object->at("score").m_isString);
  EXPECT_EQ(object->at("score").m_text, "87");
  EXPECT_EQ(object->at("title").m_text, hit.m_title);
  EXPECT_EQ(object->at("key").m_text, hit.m_key);
  EXPECT_EQ(object->at("path").m_text, hit.m_path);
}

TEST(HitToJson, KeepsAScoreThatIsNoNumberAsAString) {
  for (const std::string score : {"", "007", "12a"}) {
    const auto object = testing::ParseFlatObject(HitToJson({score, "t", "k", "p"}));
    ASSERT_TRUE(object) << score;
    EXPECT_TRUE(object->at("score").m_isString) << score;
    EXPECT_EQ(object->at("score").m_text, score);
  }
}

TEST(FitToWidth, CutsOnCharactersNotBytes) {
  EXPECT_EQ(FitToWidth("short", 10), "short");
  EXPECT_EQ(FitToWidth("exactly", 7), "exactly");
  EXPECT_EQ(FitToWidth("abcdefgh", 5), "abcd\xE2\x80\xA6");
  // Four two-byte characters cut to three: two kept, then the ellipsis.
  EXPECT_EQ(FitToWidth("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 3), "\xC3\xA9\xC3\xA9\xE2\x80\xA6");
  EXPECT_EQ(DisplayWidth(FitToWidth("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 3)), 3u);
}

std::vector<Hit> ThreeHits() {
  return {{"100", "First", "/h/Help/a.htm", "a.htm"},
          {"50", "Second page", "/h/Help/b/c.htm", "b/c.htm"},
          {"7", "Third", "/h/Help/d.htm", "d.htm"}};
}

std::string Print(const std::vector<Hit>& hits, OutputStyle style) {
  std::ostringstream out;
  PrintHits(out, hits, style);
  return out.str();
}

TEST(PrintHits, TableShowsScoreTitlePathAndSummary) {
  OutputStyle style;
  EXPECT_EQ(Print(ThreeHits(), style),
            "  100  First        a.htm\n"
            "   50  Second page  b/c.htm\n"
            "    7  Third        d.htm\n"
            "3 hits\n");
}

TEST(PrintHits, SummaryCountsWhatTheLimitHides) {
  OutputStyle style;
  style.m_limit = 2;
  const std::string text = Print(ThreeHits(), style);
  EXPECT_EQ(text.find("Third"), std::string::npos);
  EXPECT_NE(text.find("\n2 of 3 hits shown\n"), std::string::npos) << text;
  EXPECT_EQ(Print({ThreeHits()[0]}, {}), "  100  First  a.htm\n1 hit\n");
  EXPECT_EQ(Print({}, {}), "No pages match\n");
}

TEST(PrintHits, JsonHasOneObjectPerLineAndNoSummary) {
  OutputStyle style;
  style.m_json = true;
  style.m_limit = 2;
  std::istringstream lines(Print(ThreeHits(), style));
  std::string line;
  int count = 0;
  while (std::getline(lines, line)) {
    ASSERT_TRUE(testing::ParseFlatObject(line)) << line;
    ++count;
  }
  EXPECT_EQ(count, 2);
  EXPECT_EQ(Print({}, style), "");
}

TEST(PrintHits, ColourOnlyWhenAsked) {
  OutputStyle style;
  EXPECT_EQ(Print(ThreeHits(), style).find('\x1b'), std::string::npos);
  style.m_colour = true;
  EXPECT_NE(Print(ThreeHits(), style).find('\x1b'), std::string::npos);
}

TEST(PrintHits, NarrowTerminalCutsLongTitles) {
  OutputStyle style;
  style.m_columns = 40;
  const std::vector<Hit> hits = {{"100", std::string(60, 'x'), "/h/Help/a.htm", "a.htm"}};
  const std::string text = Print(hits, style);
  EXPECT_EQ(text.find(std::string(60, 'x')), std::string::npos);
  EXPECT_NE(text.find("\xE2\x80\xA6  a.htm"), std::string::npos) << text;
}

}  // namespace
}  // namespace zvv
