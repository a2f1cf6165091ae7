// @brief Searches through the operations: queries, empty queries, query errors, batches and
// the 16-bit count saturation.
#include "search.h"

#include <gtest/gtest.h>

#include "registry.h"
#include "toolkit_fixture.h"

namespace dizode {
namespace {

using testing::MakeRecord;
using testing::Row;
using testing::TempDir;
using testing::Toolkit;
using testing::WritePage;

class SearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_print = WritePage(m_dir, "print.htm", "Printing", "How to print a document on paper.");
    m_paper = WritePage(m_dir, "paper.htm", "Paper sizes", "Letter and A4 paper.");
    m_other = WritePage(m_dir, "other.htm", "Other", "Nothing relevant here.");
    ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_ADD, {m_print, m_paper, m_other}));
  }

  TempDir m_dir;
  Toolkit m_toolkit{m_dir / "coll"};
  std::string m_print, m_paper, m_other;
};

TEST_F(SearchTest, QueryFindsPagesWithScoresBestFirst) {
  std::vector<Row> rows;
  ASSERT_TK_OK(m_toolkit.Search("paper", rows));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].score, "100");
  EXPECT_EQ(rows[0].key, m_paper) << "title matches rank first";
  EXPECT_EQ(rows[0].title, "Paper sizes");
  EXPECT_GE(std::stoi(rows[1].score), 1);
  EXPECT_LE(std::stoi(rows[1].score), 100);
}

TEST_F(SearchTest, EmptyQuerySucceedsWithNoRows) {
  std::vector<Row> rows;
  EXPECT_EQ(m_toolkit.Search("", rows), TK_OK);
  EXPECT_TRUE(rows.empty());
  EXPECT_EQ(m_toolkit.Search("   ", rows), TK_OK);
  EXPECT_TRUE(rows.empty());
}

TEST_F(SearchTest, QueryErrorsFailWithTheirStatus) {
  std::vector<Row> rows;
  EXPECT_EQ(m_toolkit.Search("<FROB> paper", rows), TK_E_QUERY_UNKNOWN_OPERATOR);
  EXPECT_EQ(m_toolkit.Search("<AND> paper", rows), TK_E_QUERY_MISSING_OPERAND);
}

TEST_F(SearchTest, PlainTextNeverFails) {
  std::vector<Row> rows;
  for (const char* text : {"C++", "e-mail", "\"unbalanced", "how do I print?", "a:b", "-r"})
    EXPECT_EQ(m_toolkit.Search(text, rows), TK_OK) << text;
}

TEST_F(SearchTest, BatchSelectsRowsAndFields) {
  auto args = MakeRecord<TkSearchArgs>();
  args.query = nullptr;
  TkSearchHandle search;
  ASSERT_TK_OK(TkSearch(m_toolkit.session(), &search, &args));
  const char* names[] = {"Title", "NoSuchField", "VdkVgwKey"};
  auto batchArgs = MakeRecord<TkDocBatchArgs>();
  batchArgs.search = search;
  batchArgs.first = 1;
  batchArgs.count = 10;  // clamped to the two rows left
  batchArgs.fieldCount = 3;
  batchArgs.fieldNames = names;
  TkDocBatch* batch;
  ASSERT_TK_OK(TkReadDocBatch(m_toolkit.session(), &batchArgs, &batch));
  ASSERT_EQ(batch->documentCount, 2);
  EXPECT_EQ(batch->fieldCount, 3);
  EXPECT_STREQ(batch->texts[0], "Paper sizes");
  EXPECT_STREQ(batch->texts[1], "");
  EXPECT_EQ(batch->texts[2], m_paper);
  EXPECT_EQ(batch->texts[5], m_print);
  TkFreeDocBatch(batch);
  batchArgs.first = 7;
  ASSERT_TK_OK(TkReadDocBatch(m_toolkit.session(), &batchArgs, &batch));
  EXPECT_EQ(batch->documentCount, 0);
  TkFreeDocBatch(batch);
  batchArgs.count = -1;
  EXPECT_EQ(TkReadDocBatch(m_toolkit.session(), &batchArgs, &batch), TK_E_BAD_ARGUMENT);
  TkFreeSearch(search);
}

// A search with more hits than the 16-bit count holds, made through the registry directly
// (a 33,000-page collection would make the test slow).
TEST_F(SearchTest, SaturatedCountStillReadsEveryHit) {
  SearchResult many;
  for (int i = 0; i < 33000; ++i) many.hits.push_back({"k" + std::to_string(i), "t", "0"});
  TkSearchHandle search = Registry::Instance().AddSearch(m_toolkit.session(), std::move(many));
  ASSERT_NE(search, 0u);
  auto infoArgs = MakeRecord<TkSearchInfoArgs>();
  TkSearchInfo* info;
  ASSERT_TK_OK(TkGetSearchInfo(search, &infoArgs, &info));
  EXPECT_EQ(info->documentCount, TK_SEARCH_INFO_MAX_COUNT);
  EXPECT_EQ(info->totalDocuments, 33000);
  const char* names[] = {"VdkVgwKey"};
  auto batchArgs = MakeRecord<TkDocBatchArgs>();
  batchArgs.search = search;
  batchArgs.count = info->documentCount;
  batchArgs.fieldCount = 1;
  batchArgs.fieldNames = names;
  TkDocBatch* batch;
  ASSERT_TK_OK(TkReadDocBatch(m_toolkit.session(), &batchArgs, &batch));
  EXPECT_EQ(batch->documentCount, 33000);
  EXPECT_STREQ(batch->texts[32999], "k32999");
  TkFreeDocBatch(batch);
  batchArgs.count = 32766;  // any other count is taken literally
  ASSERT_TK_OK(TkReadDocBatch(m_toolkit.session(), &batchArgs, &batch));
  EXPECT_EQ(batch->documentCount, 32766);
  TkFreeDocBatch(batch);
  TkFreeSearchInfo(info);
  TkFreeSearch(search);
}

}  // namespace
}  // namespace dizode
