// @brief Pages edited under the same name are re-indexed by the next full listing, and only
// by it.
#include "freshness.h"

#include <gtest/gtest.h>

#include <filesystem>

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

}  // namespace
}  // namespace dizode
