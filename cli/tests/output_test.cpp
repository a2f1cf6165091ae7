// Output formatting: JSON escaping, fitting titles, the table and its summary.
#include "cli/output.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/display_width.h"
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

// Wide (CJK) characters take two columns, combining marks none.
constexpr char kWide[] = "\xE6\xBC\xA2";      // U+6F22
constexpr char kCombining[] = "\xCC\x81";     // U+0301 COMBINING ACUTE ACCENT
constexpr char kEllipsis[] = "\xE2\x80\xA6";  // U+2026

TEST(DisplayWidth, CountsTerminalColumnsNotCharacters) {
  struct Case {
    std::string m_text;
    std::size_t m_width;
  };
  const std::vector<Case> cases = {
      {"", 0},
      {"plain", 5},
      {"caf\xC3\xA9", 4},
      {std::string("e") + kCombining, 1},
      {std::string(kWide) + kWide + "x", 5},
      {"\xEF\xBC\xA1", 2},  // U+FF21 FULLWIDTH LATIN CAPITAL LETTER A
      {"\xED\x95\x9C", 2},  // U+D55C, a Hangul syllable
      {"\xE2\x80\x8B", 0},  // U+200B ZERO WIDTH SPACE
      {"b\xFF", 2},         // a stray byte still takes a column
  };
  for (const Case& c : cases) EXPECT_EQ(DisplayWidth(c.m_text), c.m_width) << c.m_text;
}

TEST(FitToWidth, CutsAtAColumnBoundaryAndEndsInAnEllipsis) {
  struct Case {
    std::string m_text;
    std::size_t m_width;
    std::string m_fitted;
  };
  const std::string wide4 = std::string(kWide) + kWide + kWide + kWide;  // 8 columns
  const std::vector<Case> cases = {
      {"short", 10, "short"},
      {"exactly", 7, "exactly"},
      {"abcdefgh", 5, std::string("abcd") + kEllipsis},
      {"\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 3, std::string("\xC3\xA9\xC3\xA9") + kEllipsis},
      {wide4, 8, wide4},
      // Two wide characters and the ellipsis: five columns of six.
      {wide4, 6, std::string(kWide) + kWide + kEllipsis},
      // A wide character never straddles the edge: it goes whole.
      {wide4, 7, std::string(kWide) + kWide + kWide + kEllipsis},
      {wide4, 4, std::string(kWide) + kEllipsis},
      // The mark stays with its letter.
      {std::string("e") + kCombining + "fgh", 3, std::string("e") + kCombining + "f" + kEllipsis},
      {"abc", 0, ""},
  };
  for (const Case& c : cases) {
    const std::string fitted = FitToWidth(c.m_text, c.m_width);
    EXPECT_EQ(fitted, c.m_fitted) << c.m_text << " in " << c.m_width;
    EXPECT_LE(DisplayWidth(fitted), c.m_width) << c.m_text;
  }
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

// Column at which `part` starts on `line`, in terminal columns.
std::size_t ColumnOf(const std::string& line, const std::string& part) {
  const std::size_t at = line.find(part);
  return at == std::string::npos ? std::string::npos : DisplayWidth(line.substr(0, at));
}

TEST(PrintHits, WideTitlesKeepThePathColumnAlignedAndFitTheLine) {
  const std::string wide(kWide);
  std::string longWide;
  for (int i = 0; i < 40; ++i) longWide += wide;  // 80 columns
  const std::vector<Hit> hits = {
      {"100", wide + wide + " intro", "k", "a.htm"},
      {"90", "Plain title", "k", "guide/b.htm"},
      {"80", longWide, "k", "c.htm"},
      {"70", "e" + std::string(kCombining) + "t" + kCombining, "k", "d.htm"}};
  for (const std::size_t columns : {40u, 200u}) {
    OutputStyle style;
    style.m_columns = columns;
    const std::vector<std::string> lines = testing::Lines(Print(hits, style));
    ASSERT_EQ(lines.size(), hits.size() + 1);
    const std::size_t pathColumn = ColumnOf(lines[0], "a.htm");
    for (std::size_t i = 0; i < hits.size(); ++i) {
      EXPECT_EQ(ColumnOf(lines[i], hits[i].m_path), pathColumn) << columns << ": " << lines[i];
      EXPECT_LE(DisplayWidth(lines[i]), columns) << lines[i];
    }
    // Only a title too long for the line is cut, and it says so.
    EXPECT_EQ(testing::Contains(lines[2], kEllipsis), columns == 40) << lines[2];
    EXPECT_TRUE(testing::Contains(lines[0], wide + wide + " intro")) << lines[0];
  }
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
