// @brief Pages edited under the same name are re-indexed by the next full listing, and only
// by it.
#include "freshness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "page_file.h"
#include "store.h"
#include "toolkit_fixture.h"

namespace dizode {
namespace {

using testing::Row;
using testing::ShiftMtime;
using testing::TempDir;
using testing::Toolkit;
using testing::WritePage;

class FreshnessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_page = WritePage(m_dir, "page.htm", "Before", "oldword");
    m_other = WritePage(m_dir, "other.htm", "Other", "steady");
    ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_ADD, {m_page, m_other}));
  }

  TempDir m_dir;
  Toolkit m_toolkit{m_dir / "coll"};
  std::string m_page, m_other;
};

TEST_F(FreshnessTest, ListingReindexesAChangedPage) {
  WritePage(m_dir, "page.htm", "After edit", "newword plus more text");
  EXPECT_EQ(m_toolkit.List(),
            (std::vector<Row>{{"0", m_other, "Other"}, {"0", m_page, "After edit"}}));
  EXPECT_EQ(m_toolkit.FindKeys("newword"), std::vector<std::string>{m_page});
  EXPECT_TRUE(m_toolkit.FindKeys("oldword").empty());
}

TEST_F(FreshnessTest, SameSizeEditIsSeenThroughModificationTime) {
  WritePage(m_dir, "page.htm", "Before", "newwrd");  // same length as "oldword" minus one
  WritePage(m_dir, "page.htm", "Before", "newword");
  ShiftMtime(m_page, 5);
  m_toolkit.List();
  EXPECT_EQ(m_toolkit.FindKeys("newword"), std::vector<std::string>{m_page});
}

TEST_F(FreshnessTest, PlainSearchDoesNotReindex) {
  WritePage(m_dir, "page.htm", "After edit", "newword plus more text");
  EXPECT_TRUE(m_toolkit.FindKeys("newword").empty());
  EXPECT_EQ(m_toolkit.FindKeys("oldword"), std::vector<std::string>{m_page});
}

TEST_F(FreshnessTest, VanishedPageStaysForTheCallersDelete) {
  ASSERT_TRUE(std::filesystem::remove(m_page));
  EXPECT_EQ(m_toolkit.Keys(), (std::vector<std::string>{m_other, m_page}));
  EXPECT_EQ(m_toolkit.FindKeys("oldword"), std::vector<std::string>{m_page});
}

TEST_F(FreshnessTest, ListingAnswersEvenWhenTheReindexCannotBeWritten) {
  auto other = Store::Open(m_dir / "coll");
  other->db().Exec(
      "CREATE TRIGGER refuse BEFORE UPDATE ON pages "
      "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END",
      "trigger");
  WritePage(m_dir, "page.htm", "After edit", "newword plus more text");
  EXPECT_EQ(m_toolkit.List(), (std::vector<Row>{{"0", m_other, "Other"}, {"0", m_page, "Before"}}));
  other->db().Exec("DROP TRIGGER refuse", "trigger");
  EXPECT_EQ(m_toolkit.List()[1].title, "After edit") << "the next listing catches up";
}

TEST_F(FreshnessTest, ScanReportsOnlyChangedExistingFiles) {
  auto store = Store::Open(m_dir / "coll");
  std::vector<std::string> changed;
  EXPECT_EQ(ScanPages(store->db(), &changed).size(), 2u);
  EXPECT_TRUE(changed.empty());
  ShiftMtime(m_other, -30);
  ASSERT_TRUE(std::filesystem::remove(m_page));
  std::vector<IndexedPage> pages = ScanPages(store->db(), &changed);
  EXPECT_EQ(changed, std::vector<std::string>{m_other});
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[0].key, m_other);
  EXPECT_EQ(pages[0].title, "Other");
}

// Enough pages for the stats to be spread over several threads; rows are written directly
// since only the comparison is under test.
TEST(ScanPagesTest, LargeCollectionFindsEveryChangedPage) {
  TempDir dir;
  auto store = Store::Create(dir / "coll", "");
  std::vector<std::string> expected;
  {
    Transaction transaction(store->db());
    Stmt insert(
        store->db().get(),
        "INSERT INTO pages(key, title, titlekey, size, mtime) VALUES(?1, 't', 't', ?2, ?3)");
    for (int i = 0; i < 4500; ++i) {
      char name[32];
      std::snprintf(name, sizeof name, "p%05d.htm", i);
      std::string path = dir / name;
      testing::WriteFile(path, "x");
      FileStamp stamp = *StampOf(path);
      if (i % 500 == 499) {
        ++stamp.mtime;  // indexed before its last change
        expected.push_back(path);
      }
      insert.Bind(1, path).Bind(2, stamp.size).Bind(3, stamp.mtime);
      insert.Run();
    }
    transaction.Commit();
  }
  std::vector<std::string> changed;
  EXPECT_EQ(ScanPages(store->db(), &changed).size(), 4500u);
  EXPECT_EQ(changed, expected);
}

}  // namespace
}  // namespace dizode
