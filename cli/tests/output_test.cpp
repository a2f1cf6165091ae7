// Output formatting: JSON escaping, fitting titles, the table and its summary.
#include "cli/output.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/json.h"
#include "cli/visible_text.h"
#include "cli/tests/support/json_reader.h"
#include "cli/tests/support/zvv_process.h"

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

TEST(JsonString, EscapesC1ControlsAndReplacesBytesThatAreNoUtf8) {
  struct Case {
    std::string m_text;
    std::string m_json;
  };
  const std::vector<Case> cases = {
      {"a\xC2\x9B"
       "b",
       "\"a\\u009bb\""},                                           // one-byte CSI, as UTF-8
      {"\xC2\x80\xC2\x9F\xC2\xA0", "\"\\u0080\\u009f\xC2\xA0\""},  // C1 ends; NBSP stays
      {std::string("\0", 1), "\"\\u0000\""},
      {"\x1b[2J", "\"\\u001b[2J\""},
      {"b\xFF.htm", "\"b\\ufffd.htm\""},              // stray byte
      {"\xC3", "\"\\ufffd\""},                        // cut sequence
      {"\xC0\xAF", "\"\\ufffd\\ufffd\""},             // overlong
      {"\xED\xA0\x80", "\"\\ufffd\\ufffd\\ufffd\""},  // surrogate
      {"\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\""},   // four bytes, valid
  };
  for (const Case& c : cases) EXPECT_EQ(JsonString(c.m_text), c.m_json) << c.m_json;
}

TEST(VisibleText, ShowsControlsAndBadBytesAsEscapes) {
  struct Case {
    std::string m_text;
    std::string m_shown;
  };
  const std::vector<Case> cases = {
      {"plain caf\xC3\xA9 \xE2\x80\xA6", "plain caf\xC3\xA9 \xE2\x80\xA6"},
      {"a\x1b]0;x\a\x1b[2J.htm", "a\\x1b]0;x\\x07\\x1b[2J.htm"},
      {"tab\there\nand\r", "tab\\x09here\\x0aand\\x0d"},
      {"del\x7f", "del\\x7f"},
      {"csi\xC2\x9B"
       "1m",
       "csi\\u{9b}1m"},
      {"b\xFF\xFE.htm", "b\\xff\\xfe.htm"},
      {"cut\xE2\x80", "cut\\xe2\\x80"},
  };
  for (const Case& c : cases) EXPECT_EQ(VisibleText(c.m_text), c.m_shown) << c.m_shown;
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

TEST(PrintHits, TableNeverPrintsControlsAndCutsWhatItShowsInstead) {
  OutputStyle style;
  const std::vector<Hit> hits = {{"9", "T\x1b[2J\xC2\x9B", "/h/Help/\x07.htm", "\x07.htm"}};
  EXPECT_EQ(Print(hits, style), "    9  T\\x1b[2J\\u{9b}  \\x07.htm\n1 hit\n");
  // The visible form is what must fit: 40 escapes are 160 characters.
  style.m_columns = 40;
  const std::string text = Print({{"9", std::string(40, '\x1b'), "k", "p"}}, style);
  EXPECT_EQ(text.find('\x1b'), std::string::npos);
  EXPECT_LE(DisplayWidth(testing::Lines(text)[0]), 40u) << text;
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
