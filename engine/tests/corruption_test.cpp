// @brief A collection whose full-text index is damaged says so: searches and submissions fail
// with TK_E_CORRUPT, and no submission reports success on a damaged index.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>

#include "toolkit_fixture.h"

namespace dizode {
namespace {

using testing::TempDir;
using testing::Toolkit;
using testing::WritePage;

class CorruptIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<std::string> pages;
    for (int i = 0; i < 30; ++i) {
      std::string words;
      for (int w = 0; w < 100; ++w) words += "term" + std::to_string((i * 37 + w) % 500) + " ";
      pages.push_back(WritePage(m_dir, "p" + std::to_string(i) + ".htm", "Page", words));
    }
    m_extra = WritePage(m_dir, "extra.htm", "Extra", "term1 term2 added later");
    {
      // Several submissions leave several index segments, which a later merge reads.
      Toolkit creator(m_folder);
      for (size_t i = 0; i < pages.size(); i += 3)
        ASSERT_TK_OK(creator.Submit(TK_SUBMIT_ADD, {pages[i], pages[i + 1], pages[i + 2]}));
    }
    // Every segment block of the index (rows past the structure records) cut to half its length.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((m_folder + "/collection.db").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(
            db, "UPDATE fts_data SET block = substr(block, 1, length(block) / 2) WHERE id > 10",
            nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);
  }

  TempDir m_dir;
  std::string m_folder = m_dir / "coll";
  std::string m_extra;
};

TEST_F(CorruptIndexTest, SearchFailsAsCorrupt) {
  Toolkit toolkit(m_folder, TK_COLLECTION_OPEN);
  ASSERT_TK_OK(toolkit.openStatus());
  std::vector<testing::Row> rows;
  for (const char* query : {"term1", "term1 term2", "term*", "\"term1 term2\""})
    EXPECT_EQ(toolkit.Search(query, rows), TK_E_CORRUPT) << query;
}

TEST_F(CorruptIndexTest, AdditionFailsAsCorrupt) {
  Toolkit toolkit(m_folder, TK_COLLECTION_OPEN);
  ASSERT_TK_OK(toolkit.openStatus());
  EXPECT_EQ(toolkit.Submit(TK_SUBMIT_ADD, {m_extra}), TK_E_CORRUPT);
  std::vector<std::string> keys = toolkit.Keys();
  EXPECT_EQ(std::count(keys.begin(), keys.end(), m_extra), 0) << "rolled back";
  EXPECT_EQ(keys.size(), 30u);
}

TEST_F(CorruptIndexTest, RemovalFailsAsCorrupt) {
  Toolkit toolkit(m_folder, TK_COLLECTION_OPEN);
  ASSERT_TK_OK(toolkit.openStatus());
  EXPECT_EQ(toolkit.Submit(TK_SUBMIT_DELETE, {m_dir / "p3.htm"}), TK_E_CORRUPT);
}

}  // namespace
}  // namespace dizode
