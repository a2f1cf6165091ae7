// The alternatives a word chunk of a query becomes, and their weights.
//
// A term list is written as its alternatives separated by " | ", each as its terms separated by
// spaces, then "@" and the weight, and "s" for an alternative that only scores. Stems are written
// "~stem".
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "query/terms.h"
#include "text/stemmer.h"
#include "utf/code_points.h"

namespace dizode::query {
namespace {

std::vector<Unit> Units(std::string_view utf8) {
  std::vector<Unit> units;
  for (size_t i = 0; i < utf8.size();) {
    const utf::CodePoint cp = utf::DecodeUtf8(utf8, i);
    units.push_back({cp.value, false});
    i += static_cast<size_t>(cp.size);
  }
  return units;
}

std::string Render(const TermList& list) {
  std::ostringstream out;
  for (const Alternative& a : list.alternatives) {
    if (&a != &list.alternatives.front()) {
      out << " | ";
    }
    for (const Term& t : a.terms) {
      EXPECT_EQ(t.kind, Term::Kind::kExact);
      const bool stem = t.text.starts_with(text::kStemMarker);
      out << (&t == &a.terms.front() ? "" : " ")
          << (stem ? "~" + t.text.substr(text::kStemMarker.size()) : t.text);
    }
    out << "@" << a.weight << (a.scoringOnly ? "s" : "");
  }
  return out.str();
}

struct Case {
  std::string chunk;
  std::string expected;
  std::string key;
};

class SplitTermsTest : public ::testing::TestWithParam<Case> {};

TEST_P(SplitTermsTest, Word) {
  const Case& c = GetParam();
  text::Stemmer english("english");
  const TermList list = SplitTerms(Units(c.chunk), false, &english);
  EXPECT_EQ(Render(list), c.expected) << c.chunk;
  EXPECT_EQ(list.key, c.key) << c.chunk;
  EXPECT_FALSE(list.hadWildcard);
}

const Case kWordCases[] = {
    {"Printing", "printing@1 | ~print@0.6", "printing"},
    {"a", "a@1 | ~a@0.6", "a"},
    {"2024", "2024@1", "2024"},
    {"2024-01-15", "2024-01-15@1 | 2024 01 15@0.8 | 20240115@1", "2024 01 15"},
    {"\uFF26\uFF4F\uFF4F", "foo@1 | ~foo@0.6", "foo"},
    {"hy\u00ADphen", "hyphen@1 | ~hyphen@0.6", "hyphen"},
    {"na\u00EFve", "naive@1 | ~naiv@0.6", "naive"},
    // Joining glue.
    {"e-mail", "e-mail@1 | e mail@0.8 | email@1 | ~email@0.6", "e mail"},
    {"E\u2011Mail", "e\u2010mail@1 | e mail@0.8 | email@1 | ~email@0.6", "e mail"},
    {"don\u2019t", "don\u2019t@1 | don t@0.8 | dont@1 | ~dont@0.6", "don t"},
    // Keeping glue: the parts also score on their own.
    {"foo.bar", "foo.bar@1 | foo bar@0.8 | foo@0.25s | bar@0.25s", "foo bar"},
    {"std::vector", "std::vector@1 | std vector@0.8 | std@0.25s | vector@0.25s", "std vector"},
    {"e-mail.com", "e-mail.com@1 | e mail com@0.8 | e@0.25s | mail@0.25s | com@0.25s",
     "e mail com"},
    // One part with glue: only the span tells it from the plain letter.
    {"C++", "c++@1", "c"},
    {"C#", "c#@1", "c"},
    // Glue is judged after normalisation, as the index judges it.
    {"\uFF23\uFF0B\uFF0B", "c++@1", "c"},
    {"\uFF46\uFF4F\uFF4F\uFF0E\uFF42\uFF41\uFF52",
     "foo.bar@1 | foo bar@0.8 | foo@0.25s | bar@0.25s", "foo bar"},
    {".NET", ".net@1", "net"},
    // Several tokens without glue.
    {"vector<int>", "vector int@0.8", "vector int"},
    {"f(x)", "f x@0.8", "f x"},
    {"a+++b", "a b@0.8", "a b"},
    {"\u65E5\u672Cabc", "\u65E5 \u672C abc@0.8", "\u65E5 \u672C abc"},
    // Gram runs: the unigram, or the phrase of neighbour pairs.
    {"\u65E5", "\u65E5@1", "\u65E5"},
    {"\u65E5\u672C", "\u65E5\u672C@1", "\u65E5 \u672C"},
    {"\u65E5\u672C\u8A9E", "\u65E5\u672C \u672C\u8A9E@1", "\u65E5 \u672C \u8A9E"},
    {"\u0E44\u0E17\u0E22", "\u0E44\u0E17 \u0E17\u0E22@1", "\u0E44 \u0E17 \u0E22"},
    // Beyond the span limits: the parts in order.
    {"a.b.c.d.e.f.g.h.i.j.k.l.m.n.o.p.q", "a b c d e f g h i j k l m n o p q@0.8",
     "a b c d e f g h i j k l m n o p q"},
    // Nothing searchable.
    {"--", "", ""},
    {"\xFF\xFE", "", ""},
};

INSTANTIATE_TEST_SUITE_P(Terms, SplitTermsTest, ::testing::ValuesIn(kWordCases));

TEST(SplitTermsPhraseTest, ExactTermsOnly) {
  text::Stemmer english("english");
  const Case cases[] = {
      {"Printing", "printing@1", "printing"},
      {"e-mail", "e mail@1", "e mail"},
      {"foo.bar", "foo bar@1", "foo bar"},
      {"\u65E5\u672C\u8A9E", "\u65E5 \u672C \u8A9E@1", "\u65E5 \u672C \u8A9E"},
  };
  for (const Case& c : cases) {
    const TermList list = SplitTerms(Units(c.chunk), true, &english);
    EXPECT_EQ(Render(list), c.expected) << c.chunk;
    EXPECT_EQ(list.key, c.key) << c.chunk;
  }
}

TEST(SplitTermsStemmerTest, NoStemAlternativesWithoutAStemmer) {
  text::Stemmer none("none");
  for (text::Stemmer* stemmer : {&none, static_cast<text::Stemmer*>(nullptr)}) {
    EXPECT_EQ(Render(SplitTerms(Units("Printing"), false, stemmer)), "printing@1");
    EXPECT_EQ(Render(SplitTerms(Units("e-mail"), false, stemmer)),
              "e-mail@1 | e mail@0.8 | email@1");
  }
}

}  // namespace
}  // namespace dizode::query
