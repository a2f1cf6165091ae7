// Resource limits and vocabulary failures: refused with E_TOO_COMPLEX or E_INTERNAL, or
// truncated with a warning, never a crash or a statement FTS5 cannot run.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "query/query.h"
#include "query_test_db.h"

namespace dizode::query {
namespace {

using testing::Row;
using testing::TestDb;

// 300 distinct terms "wa".."zz"-style: w + two letters, plus v + two letters.
std::string ManyTerms() {
  std::string body;
  for (char a : {'v', 'w'}) {
    for (char b = 'a'; b <= 'z'; ++b) {
      for (char c = 'a'; c <= 'f'; ++c) {
        body += std::string{a, b, c, 'q', ' '};
      }
    }
  }
  return body;  // 2 * 26 * 6 = 312 terms ending in q
}

TEST(QueryLimitsTest, WildcardExpansionIsTruncatedWithWarning) {
  TestDb db({{"a.htm", "A", "", ManyTerms()}});
  const Plan plan = Compile("*q", db.handle());
  ASSERT_FALSE(plan.error);
  ASSERT_EQ(plan.warnings.size(), 1u);
  EXPECT_EQ(plan.warnings[0].code, Code::kWildcardTruncated);
  EXPECT_EQ(plan.warnings[0].offset, 0);
  EXPECT_EQ(plan.warnings[0].length, 2);
  const std::string& match = plan.statement.params.at(0);
  EXPECT_EQ(std::count(match.begin(), match.end(), '"'), 2 * 256);
  EXPECT_EQ(db.Search(plan).size(), 1u);

  const Plan few = Compile("va?q", db.handle());
  EXPECT_TRUE(few.warnings.empty());
}

TEST(QueryLimitsTest, NearDistributionAndPhraseCount) {
  TestDb db({{"a.htm", "A", "", ManyTerms()}});
  // 6 x 6 NEAR groups are fine, 26 x 6 are not.
  Plan plan = Compile("va?q <NEAR> wa?q", db.handle());
  ASSERT_FALSE(plan.error);
  std::vector<Row> rows;
  std::string error;
  EXPECT_TRUE(db.Run(plan.statement, rows, error)) << error;
  plan = Compile("v?aq <NEAR> wa?q", db.handle());
  ASSERT_TRUE(plan.error);
  EXPECT_EQ(plan.error->code, Code::kTooComplex);

  // A repeated word adds nothing to the query: it costs no phrase.
  std::string repeated;
  for (int i = 0; i < 1100; ++i) {
    repeated += "x ";
  }
  plan = Compile(repeated, db.handle());
  ASSERT_FALSE(plan.error);
  EXPECT_TRUE(plan.warnings.empty());
  EXPECT_EQ(plan.statement.params.at(0), "(\"x\" OR \"\xEE\x80\x80x\")");
}

// Plain words past the phrase budget are left out with one warning, never failing the search.
TEST(QueryLimitsTest, WordsPastThePhraseBudgetAreLeftOut) {
  std::string text;
  std::vector<int> starts;
  for (int i = 0; i < 600; ++i) {
    starts.push_back(static_cast<int>(text.size()));
    text += "w" + std::to_string(i) + "z ";  // distinct words, a word and a stem phrase each
  }
  text.pop_back();
  const Plan plan = Compile(text, nullptr);
  ASSERT_FALSE(plan.error);
  ASSERT_EQ(plan.warnings.size(), 1u);
  const Diagnostic& warning = plan.warnings[0];
  EXPECT_EQ(warning.code, Code::kIgnoredWord);
  EXPECT_NE(std::find(starts.begin(), starts.end(), warning.offset), starts.end())
      << "starts at a word";
  EXPECT_EQ(warning.offset + warning.length, static_cast<int>(text.size())) << "runs to the end";
  const std::string& match = plan.statement.params.at(0);
  EXPECT_LE(std::count(match.begin(), match.end(), '"') / 2, 1024);
  EXPECT_NE(match.find("\"w0z\""), std::string::npos) << "the first words are kept";
  EXPECT_EQ(match.find("\"w599z\""), std::string::npos);
}

TEST(QueryLimitsTest, MissingVocabularyIsInternalError) {
  sqlite3* bare = nullptr;
  ASSERT_EQ(sqlite3_open(":memory:", &bare), SQLITE_OK);
  const Plan plan = Compile("colo?r", bare);
  sqlite3_close(bare);
  ASSERT_TRUE(plan.error);
  EXPECT_EQ(plan.error->code, Code::kInternal);
  EXPECT_LT(StatusFor(plan.error->code), 0);

  // Without a connection there is no vocabulary: the pattern matches nothing, prefixes still do.
  EXPECT_TRUE(Compile("colo?r", nullptr).matchesNothing);
  EXPECT_EQ(Compile("colo* print", nullptr).statement.params.at(0),
            "(\"colo\" * AND (\"print\" OR \"\xEE\x80\x80print\"))");
}

// `?` is one character, and only a wildcard when a word character follows it in the chunk.
TEST(QueryLimitsTest, QuestionMarkWildcard) {
  TestDb db({{"a.htm", "One", "", "abc abd"}, {"b.htm", "Two", "", "ab"}});
  const auto keys = [&](const char* query) {
    std::vector<std::string> out;
    for (const Row& row : db.Search(Compile(query, db.handle()))) {
      out.push_back(row.key);
    }
    return out;
  };
  EXPECT_EQ(keys("ab?"), (std::vector<std::string>{"b.htm"}));  // punctuation: the word ab
  EXPECT_EQ(keys("a?c"), (std::vector<std::string>{"a.htm"}));
  EXPECT_EQ(keys("?b"), (std::vector<std::string>{"b.htm"}));
  EXPECT_EQ(keys("ab\\?c"), (std::vector<std::string>{}));       // escaped: the phrase "ab c"
  EXPECT_EQ(keys("ab??"), (std::vector<std::string>{"b.htm"}));  // no word character follows
}

// Patterns run against the vocabulary as GLOB, which compares bytes: the pattern has to be folded
// exactly as the index folds its terms.
TEST(QueryLimitsTest, PatternsFoldLikeTheIndex) {
  const std::string smallAe = "\xC3\xA6";  // æ, then Æ: an escape must not swallow the "b"
  const std::string capitalAe = "\xC3\x86";
  TestDb db({{"a.htm", "One", "", smallAe + "ble caf\xC3\xA9s"}});
  EXPECT_EQ(db.Search(Compile(capitalAe + "b?e", db.handle())).size(), 1u);
  EXPECT_EQ(db.Search(Compile("C?F\xC3\x89S", db.handle())).size(), 1u);  // C?FÉS
  // Patterns are never stemmed: the vocabulary's stems are not words to expand to.
  EXPECT_EQ(db.Search(Compile("C?F\xC3\x89", db.handle())).size(), 0u);
  EXPECT_EQ(db.Search(Compile("aeb?e", db.handle())).size(), 1u);  // æ is written ae
}

}  // namespace
}  // namespace dizode::query
