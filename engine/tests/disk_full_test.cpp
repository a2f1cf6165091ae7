// @brief A collection on a file system that runs out of space: a write that does not fit fails
// with a status and leaves the pages committed before it; a success always means the pages are
// there.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "fault_fixture.h"

namespace dizode {
namespace {

using testing::FreshFind;
using testing::TempDir;
using testing::Toolkit;
using testing::WriteBatch;

// A small memory file system mounted on a folder of its own for the test's life.
class SmallDisk {
 public:
  SmallDisk(const std::string& folder, const std::string& size) : m_folder(folder) {
    std::filesystem::create_directory(folder);
    const std::string options = "size=" + size;
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
      m_refusal = std::strerror(errno);
    }
  }
  ~SmallDisk() {
    if (m_refusal.empty()) ::umount2(m_folder.c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  // Empty when mounted.
  const std::string& refusal() const { return m_refusal; }
  bool Resize(const std::string& size) {
    const std::string options = "size=" + size;
    return ::mount("tmpfs", m_folder.c_str(), "tmpfs", MS_REMOUNT, options.c_str()) == 0;
  }
  // Writes a file until the file system refuses more; removing it frees the space again.
  void Fill(const std::string& file) {
    std::ofstream out(m_folder + "/" + file, std::ios::binary);
    const std::string block(4096, 'x');
    while (out.write(block.data(), static_cast<std::streamsize>(block.size()))) {
    }
  }
  void Free(const std::string& file) { std::filesystem::remove(m_folder + "/" + file); }

 private:
  std::string m_folder;
  std::string m_refusal;
};

class DiskFullTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    m_disk = std::make_unique<SmallDisk>(m_dir / "disk", "400k");
    if (!m_disk->refusal().empty()) {
      GTEST_SKIP() << "mounting a small file system was refused: " << m_disk->refusal();
    }
    m_collection = m_dir / "disk/coll";
  }

  // A collection on the small disk holding the "kept" pages.
  void CreateWithKeptPages() {
    Toolkit toolkit(m_collection);
    ASSERT_TK_OK(toolkit.openStatus());
    m_kept = WriteBatch(m_dir, "kept", 5);
    ASSERT_TK_OK(toolkit.Submit(TK_SUBMIT_ADD, m_kept));
  }

  void ExpectKeptPagesOnly() {
    int32_t status = TK_OK;
    auto kept = FreshFind(m_collection, "kept", &status);
    ASSERT_TRUE(kept) << status << " " << TkStatusText(status);
    EXPECT_EQ(*kept, m_kept);
    EXPECT_EQ(FreshFind(m_collection, "large"), std::vector<std::string>{});
  }

  TempDir m_dir;  // the pages live here, off the small disk
  std::unique_ptr<SmallDisk> m_disk;
  std::string m_collection;
  std::vector<std::string> m_kept;
};

TEST_F(DiskFullTest, ABatchThatDoesNotFitFailsAndTheCollectionTakesItOnceThereIsRoom) {
  ASSERT_NO_FATAL_FAILURE(CreateWithKeptPages());
  const std::vector<std::string> large = WriteBatch(m_dir, "large", 400, 60);
  {
    Toolkit toolkit(m_collection, TK_COLLECTION_OPEN);
    ASSERT_TK_OK(toolkit.openStatus());
    EXPECT_NE(toolkit.Submit(TK_SUBMIT_ADD, large), TK_OK) << "the batch cannot fit in 400 KiB";
    // The failure leaves the session's collection usable for searches.
    EXPECT_EQ(toolkit.FindKeys("kept").size(), m_kept.size());
  }
  ExpectKeptPagesOnly();

  ASSERT_TRUE(m_disk->Resize("64m"));
  {
    Toolkit toolkit(m_collection, TK_COLLECTION_OPEN);
    ASSERT_TK_OK(toolkit.openStatus());
    ASSERT_TK_OK(toolkit.Submit(TK_SUBMIT_ADD, large));
  }
  EXPECT_EQ(FreshFind(m_collection, "large"), large);
  EXPECT_EQ(FreshFind(m_collection, "kept"), m_kept);
}

// Every write road on a disk with no room at all: opening for an update, adding, deleting.
// Whatever each reports, a success must have changed the pages and a failure must have left
// them; once room is made, the committed pages are all there.
TEST_F(DiskFullTest, OnAFullDiskEveryReportedSuccessIsRealAndFailuresKeepThePages) {
  ASSERT_NO_FATAL_FAILURE(CreateWithKeptPages());
  const std::vector<std::string> extra = WriteBatch(m_dir, "extra", 3);
  m_disk->Fill("filler");
  int32_t added = TK_E_INTERNAL, deleted = TK_E_INTERNAL;
  {
    Toolkit toolkit(m_collection, TK_COLLECTION_OPEN);
    if (toolkit.openStatus() == TK_OK) {
      added = toolkit.Submit(TK_SUBMIT_ADD, extra);
      deleted = toolkit.Submit(TK_SUBMIT_DELETE, {m_kept.front()});
    }
  }
  m_disk->Free("filler");
  std::vector<std::string> expectKept = m_kept;
  if (deleted == TK_OK) expectKept.erase(expectKept.begin());
  EXPECT_EQ(FreshFind(m_collection, "kept"), expectKept) << "delete reported " << deleted;
  EXPECT_EQ(FreshFind(m_collection, "extra"), added == TK_OK ? extra : std::vector<std::string>{})
      << "add reported " << added;
}

// A creation over a working collection on a full disk either replaces it with an empty
// collection, as its committed submission reports, or fails and leaves it whole.
TEST_F(DiskFullTest, ACreationOnAFullDiskReplacesThePreviousCollectionOnlyWhenItSucceeds) {
  ASSERT_NO_FATAL_FAILURE(CreateWithKeptPages());
  m_disk->Fill("filler");
  int32_t created = TK_OK;
  {
    Toolkit toolkit(m_collection, TK_COLLECTION_CREATE);
    created = toolkit.openStatus();
    if (created == TK_OK) created = toolkit.Submit(TK_SUBMIT_ADD, {});
  }
  m_disk->Free("filler");
  if (created == TK_OK) {
    EXPECT_EQ(FreshFind(m_collection, "kept"), std::vector<std::string>{});
  } else {
    ExpectKeptPagesOnly();
  }
}

}  // namespace
}  // namespace dizode
