// @brief Pages edited under the same name are re-indexed by the next full listing, and only
// by it.
#include "freshness.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

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

// The listing's folder-relative stamps must be exactly the stamps the indexer stored, or every
// listing would re-index pages (or miss edits): odd times and every kind of path are compared
// with StampOf, in one run so that the open folder is reused and switched.
TEST(FolderStamperTest, AgreesWithStampOf) {
  TempDir dir;
  namespace fs = std::filesystem;
  fs::create_directories(dir / "sub/deeper");
  const std::string plain = dir / "plain.htm";
  const std::string nanos = dir / "sub/nanos.htm";
  const std::string old = dir / "sub/old.htm";
  const std::string deep = dir / "sub/deeper/x.htm";
  testing::WriteFile(plain, "one");
  testing::WriteFile(nanos, "two bytes more");
  testing::WriteFile(old, "");
  testing::WriteFile(deep, "deep");
  const timespec nanoTime[2] = {{0, UTIME_OMIT}, {1700000000, 123456789}};
  ASSERT_EQ(utimensat(AT_FDCWD, nanos.c_str(), nanoTime, 0), 0);
  const timespec before1970[2] = {{0, UTIME_OMIT}, {-86400 * 400, 5}};
  ASSERT_EQ(utimensat(AT_FDCWD, old.c_str(), before1970, 0), 0);
  fs::create_symlink(plain, dir / "sub/link.htm");
  const std::string paths[] = {plain,
                               nanos,
                               old,
                               dir / "sub/link.htm",
                               dir / "sub/missing.htm",
                               dir / "sub/deeper",  // a folder is no page
                               deep,
                               dir / "sub/./nanos.htm",
                               dir / "sub//old.htm",
                               dir / "sub/",
                               dir / "missing/x.htm",
                               plain,
                               "/"};
  FolderStamper stamper;
  for (const std::string& path : paths) {
    EXPECT_EQ(stamper.Stamp(path), StampOf(path)) << path;
  }
  EXPECT_EQ(stamper.Stamp(nanos)->mtime, 1700000000123456789);
  EXPECT_EQ(stamper.Stamp(old)->mtime, -86400LL * 400 * 1000000000 + 5);

  // A path without a folder is relative to the working folder.
  const fs::path previous = fs::current_path();
  fs::current_path(dir.path());
  std::optional<FileStamp> relative = stamper.Stamp("plain.htm");
  fs::current_path(previous);
  EXPECT_EQ(relative, StampOf(plain));
  EXPECT_TRUE(relative);
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
