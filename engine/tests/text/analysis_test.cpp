// The tokens a page's text is indexed as, position by position.
//
// Expected lists are written one position after another, separated by " | "; at a position the
// token that takes it comes first, then the tokens beside it in sorted order, separated by
// commas. A stem token (U+E000 and the stem) is written as "~stem".
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "text/analysis.h"
#include "text/document_tokens.h"

namespace dizode::text {
namespace {

struct Position {
  std::string first;
  std::vector<std::string> beside;
};

std::vector<Position> Collect(const std::string& utf8, Stemmer* stemmer) {
  Analysis analysis;
  analysis.Run(utf8);
  std::vector<Position> positions;
  const int rc = EmitDocumentTokens(
      analysis, stemmer, [&](std::string_view token, bool colocated, Range range) {
        EXPECT_LT(range.begin, range.end);
        EXPECT_LE(range.end, analysis.units().size());
        std::string text(token);
        if (text.starts_with(kStemMarker)) {
          text = "~" + text.substr(kStemMarker.size());
        }
        if (!colocated) {
          positions.push_back({text, {}});
        } else if (positions.empty()) {
          ADD_FAILURE() << "co-located token before any position: " << text;
        } else {
          positions.back().beside.push_back(text);
        }
        return 0;
      });
  EXPECT_EQ(rc, 0);
  return positions;
}

std::string Tokens(const std::string& utf8, Stemmer* stemmer) {
  std::string out;
  for (Position& p : Collect(utf8, stemmer)) {
    std::sort(p.beside.begin(), p.beside.end());
    out += out.empty() ? "" : " | ";
    out += p.first;
    for (const std::string& t : p.beside) {
      out += "," + t;
    }
  }
  return out;
}

struct Case {
  std::string input;
  std::string expected;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.input; }

class DocumentTokensTest : public ::testing::TestWithParam<Case> {};

TEST_P(DocumentTokensTest, English) {
  Stemmer english("english");
  EXPECT_EQ(Tokens(GetParam().input, &english), GetParam().expected) << GetParam().input;
}

const Case kDocumentCases[] = {
    // Plain words, one-letter words, numbers (no stem), and a word with digits (stem).
    {"Printing files", "printing,~print | files,~file"},
    {"a I 7 x86", "a,~a | i,~i | 7 | x86,~x86"},
    {"Stra\u00DFe, ca\u0301fe\u0301!", "strasse,~strass | cafe,~cafe"},
    // Joining glue: parts, the whole, the parts written together, stems of both.
    {"e-mail", "e,e-mail,email,~e,~email | mail,~mail"},
    {"don't", "don,don't,dont,~don,~dont | t,~t"},
    {"e\u2010mail", "e,email,e\u2010mail,~e,~email | mail,~mail"},
    {"e\u2011mail", "e,email,e\u2010mail,~e,~email | mail,~mail"},
    {"it\u2019s", "it,its,it\u2019s,~it,~it | s,~s"},
    {"2024-01-15", "2024,2024-01-15,20240115 | 01 | 15"},
    // Keeping glue: parts and the whole, never the parts written together.
    {"foo.bar", "foo,foo.bar,~foo | bar,~bar"},
    {"std::vector", "std,std::vector,~std | vector,~vector"},
    {"C:\\Windows", "c,c:\\windows,~c | windows,~window"},
    {"sqlite3_prepare_v2", "sqlite3,sqlite3_prepare_v2,~sqlite3 | prepare,~prepar | v2,~v2"},
    {"me@example.com", "me,me@example.com,~me | example,~exampl | com,~com"},
    {"AT&T", "at,at&t,~at | t,~t"},
    {"10.0.0.1", "10,10.0.0.1 | 0 | 0 | 1"},
    {"e-mail.com", "e,e-mail.com,~e | mail,~mail | com,~com"},
    // Glue that does not sit between two words separates.
    {"a+++b a,b foo. -bar a--b", "a,~a | b,~b | a,~a | b,~b | foo,~foo | bar,~bar | a,~a | b,~b"},
    // Trailing + and #, leading dot.
    {"C++ C# F#.", "c,c++,~c | c,c#,~c | f,f#,~f"},
    {"C+++ x##y", "c,~c | x,x##y,~x | y,~y"},
    {".NET and .htaccess", "net,.net,~net | and,~and | htaccess,.htaccess,~htaccess"},
    {"x.NET", "x,x.net,~x | net,~net"},
    {"(.c++)", "c,.c++,~c"},
    // Gram runs: unigrams, each with the pair it starts.
    {"\u65E5", "\u65E5"},
    {"\u65E5\u672C", "\u65E5,\u65E5\u672C | \u672C"},
    {"\u65E5\u672C\u8A9E", "\u65E5,\u65E5\u672C | \u672C,\u672C\u8A9E | \u8A9E"},
    {"\u0E44\u0E17\u0E22", "\u0E44,\u0E44\u0E17 | \u0E17,\u0E17\u0E22 | \u0E22"},
    {"\uD55C\uAD6D", "\uD55C,\uD55C\uAD6D | \uAD6D"},
    {"\u65E5\u672Cabc\u8A9E", "\u65E5,\u65E5\u672C | \u672C | abc,~abc | \u8A9E"},
    {"\u65E5.\u672C", "\u65E5 | \u672C"},
    // Other scripts are words; mixed scripts inside a word stay one word.
    {"\u039B\u03CC\u03B3\u03BF\u03C2",
     "\u03BB\u03BF\u03B3\u03BF\u03C3,~\u03BB\u03BF\u03B3\u03BF\u03C3"},
    {"abc\u0430\u0431\u0432", "abc\u0430\u0431\u0432,~abc\u0430\u0431\u0432"},
    {"\u0915\u093F\u0924\u093E\u092C",
     "\u0915\u093F\u0924\u093E\u092C,~\u0915\u093F\u0924\u093E\u092C"},
    // Invisible characters inside a word vanish; hostile bytes separate.
    {"hy\u00ADphen zero\u200Bwidth", "hyphen,~hyphen | zerowidth,~zerowidth"},
    {"ab\xFF"
     "cd a\xED\xA0\x80"
     "b",
     "ab,~ab | cd,~cd | a,~a | b,~b"},
    {std::string("foo\0bar", 7), "foo,~foo | bar,~bar"},
    {"", ""},
};

INSTANTIATE_TEST_SUITE_P(Analysis, DocumentTokensTest, ::testing::ValuesIn(kDocumentCases));

TEST(DocumentTokensTest, NoStemmer) {
  Stemmer none("none");
  EXPECT_FALSE(none.valid());
  for (Stemmer* stemmer : {&none, static_cast<Stemmer*>(nullptr)}) {
    EXPECT_EQ(Tokens("Printing e-mail foo.bar", stemmer),
              "printing | e,e-mail,email | mail | foo,foo.bar | bar");
  }
}

// A span is kept whole up to 64 characters and 16 parts; beyond, only its parts are searchable.
TEST(DocumentTokensTest, SpanLimits) {
  const auto parts = [](int count, char glue) {
    std::string s = "a";
    for (int i = 1; i < count; ++i) {
      s += glue;
      s += static_cast<char>('a' + i % 26);
    }
    return s;
  };
  struct Limit {
    std::string span;
    bool whole;
  };
  const Limit limits[] = {
      {std::string(32, 'a') + "." + std::string(31, 'b'), true},
      {std::string(32, 'a') + "." + std::string(32, 'b'), false},
      {std::string(32, 'a') + "-" + std::string(32, 'b'), false},
      {std::string(63, 'a') + "++", false},
      {parts(16, '.'), true},
      {parts(17, '.'), false},
      {parts(16, '-'), true},
      {parts(17, '-'), false},
  };
  Stemmer english("english");
  for (const Limit& limit : limits) {
    Analysis analysis;
    analysis.Run(limit.span);
    const auto& segments = analysis.segments();
    ASSERT_EQ(segments.size(), 1u) << limit.span;
    const std::vector<Position> positions = Collect(limit.span, &english);
    ASSERT_EQ(positions.size(), segments[0].partCount) << limit.span;
    const auto& first = positions.front().beside;
    EXPECT_EQ(std::count(first.begin(), first.end(), limit.span) == 1, limit.whole) << limit.span;
    // The joined form comes and goes with the whole; each part keeps its stem either way.
    EXPECT_EQ(first.size(),
              1u + (limit.whole ? 1 : 0) + (limit.whole && segments[0].joinOnly ? 2 : 0))
        << limit.span;
  }
}

// Hostile input: nothing crashes, and what comes out is made of the input's words.
TEST(DocumentTokensTest, HostileInput) {
  Stemmer english("english");
  const std::string big(1 << 20, 'x');
  std::vector<Position> positions = Collect(big, &english);
  ASSERT_EQ(positions.size(), 1u);
  EXPECT_EQ(positions[0].first, big);

  EXPECT_EQ(Tokens("a" + std::string(10000, '.') + "b", &english), "a,~a | b,.b,~b");
  EXPECT_EQ(Tokens(std::string(10000, '+') + std::string(10000, '#'), &english), "");
  std::string chain;
  for (int i = 0; i < 5000; ++i) {
    chain += "ab-";
  }
  positions = Collect(chain, &english);
  ASSERT_EQ(positions.size(), 5000u);
  for (const Position& p : positions) {
    EXPECT_EQ(p.first, "ab");
    EXPECT_EQ(p.beside, std::vector<std::string>{"~ab"});
  }
  std::string wide;
  for (int i = 0; i < 2000; ++i) {
    wide += "\uFDFA";  // eighteen characters each after normalisation, spaces among them
  }
  EXPECT_FALSE(Collect(wide, &english).empty());
}

TEST(DocumentTokensTest, SinkStopsTheWalk) {
  Analysis analysis;
  analysis.Run("one two three");
  int calls = 0;
  const int rc = EmitDocumentTokens(
      analysis, nullptr, [&](std::string_view, bool, Range) { return ++calls == 2 ? 7 : 0; });
  EXPECT_EQ(rc, 7);
  EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace dizode::text
