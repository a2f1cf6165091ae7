// @brief Collections whose database file was damaged at random offsets (seeded, so that every
// run can be replayed alone): opening reports the damage or the collection works, every
// reported success is real, and a creation over the damage gives a working collection again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "fault_fixture.h"
#include "store.h"

namespace dizode {
namespace {

using testing::FreshFind;
using testing::ReadFile;
using testing::TempDir;
using testing::Toolkit;
using testing::WriteBatch;

constexpr int kRuns = 120;
constexpr uint32_t kFirstSeed = 20261208;

// Damages 1 to 4 places: a single byte, or a run of up to 64 bytes, never left unchanged.
std::string Damage(std::string bytes, uint32_t seed, std::string& where) {
  std::mt19937 random(seed);
  const int places = std::uniform_int_distribution<int>(1, 4)(random);
  for (int p = 0; p < places; ++p) {
    const size_t at = std::uniform_int_distribution<size_t>(0, bytes.size() - 1)(random);
    const size_t length = std::min<size_t>(
        bytes.size() - at, random() % 2 ? 1 : std::uniform_int_distribution<size_t>(2, 64)(random));
    for (size_t i = at; i < at + length; ++i) {
      bytes[i] = static_cast<char>(bytes[i] ^ std::uniform_int_distribution<int>(1, 255)(random));
    }
    where += " " + std::to_string(length) + "@" + std::to_string(at);
  }
  return bytes;
}

// One undamaged collection of "kept" pages, its database file read into memory; each run
// writes a damaged copy into a folder of its own.
class RandomDamageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_dir = new TempDir;
    s_kept = WriteBatch(*s_dir, "kept", 12);
    s_extra = WriteBatch(*s_dir, "extra", 2);
    {
      Toolkit toolkit(*s_dir / "original");
      if (toolkit.openStatus() != TK_OK || toolkit.Submit(TK_SUBMIT_ADD, s_kept) != TK_OK) return;
    }  // closing the last connection folds the log into the database file
    s_database = ReadFile(DatabasePath(*s_dir / "original"));
  }
  static void TearDownTestSuite() { delete s_dir; }

  void SetUp() override {
    ASSERT_GT(s_database.size(), 4096u) << "the undamaged collection was not built";
  }

  // A damaged copy of the collection in a new folder; returns the folder.
  std::string DamagedCopy(int run, std::string& where) {
    std::string folder = *s_dir / ("run" + std::to_string(run));
    std::filesystem::create_directory(folder);
    std::ofstream(DatabasePath(folder), std::ios::binary)
        << Damage(s_database, kFirstSeed + run, where);
    return folder;
  }

  static TempDir* s_dir;
  static std::vector<std::string> s_kept, s_extra;
  static std::string s_database;
};

TempDir* RandomDamageTest::s_dir = nullptr;
std::vector<std::string> RandomDamageTest::s_kept, RandomDamageTest::s_extra;
std::string RandomDamageTest::s_database;

// What a host does with a collection it finds: searches it, updates it, and rebuilds it when
// it does not open. Whatever the damage, no operation crashes, each reports a known status,
// and pages an update reports added are searchable unless the search reports the damage.
TEST_F(RandomDamageTest, EveryDamagedCollectionReportsItsStateHonestlyAndCanBeRebuilt) {
  int opened = 0, refused = 0;
  for (int run = 0; run < kRuns; ++run) {
    std::string where;
    const std::string folder = DamagedCopy(run, where);
    SCOPED_TRACE("seed " + std::to_string(kFirstSeed + run) + ", damaged" + where);
    int32_t openStatus = TK_OK;
    {
      Toolkit toolkit(folder, TK_COLLECTION_OPEN);
      openStatus = toolkit.openStatus();
      if (openStatus == TK_OK) {
        ++opened;
        std::vector<testing::Row> rows;
        const int32_t searched = toolkit.Search("kept", rows);
        EXPECT_NE(std::string(TkStatusText(searched)), "unknown status") << searched;
        const int32_t added = toolkit.Submit(TK_SUBMIT_ADD, s_extra);
        EXPECT_NE(std::string(TkStatusText(added)), "unknown status") << added;
        if (added == TK_OK) {
          const int32_t found = toolkit.Search("extra", rows);
          if (found == TK_OK) {
            EXPECT_EQ(rows.size(), s_extra.size());
          } else {
            EXPECT_EQ(found, TK_E_CORRUPT);
          }
        }
      } else {
        ++refused;
        EXPECT_NE(std::string(TkStatusText(openStatus)), "unknown status") << openStatus;
      }
    }
    if (openStatus != TK_OK) {
      Toolkit rebuilt(folder, TK_COLLECTION_CREATE);
      ASSERT_TK_OK(rebuilt.openStatus());
      ASSERT_TK_OK(rebuilt.Submit(TK_SUBMIT_ADD, s_kept));
      EXPECT_EQ(FreshFind(folder, "kept"), s_kept);
    }
    std::filesystem::remove_all(folder);
  }
  // The runs reach both roads.
  EXPECT_GT(opened, 0);
  EXPECT_GT(refused, 0);
}

// The damage opening detects is reported as a corrupt collection, the status on which hosts
// rebuild, and not as a failure of the engine or the file system.
TEST_F(RandomDamageTest, DamageFoundWhenOpeningIsReportedAsCorruption) {
  for (int run = 0; run < kRuns; ++run) {
    std::string where;
    const std::string folder = DamagedCopy(run, where);
    Toolkit toolkit(folder, TK_COLLECTION_OPEN);
    if (toolkit.openStatus() != TK_OK) {
      EXPECT_EQ(toolkit.openStatus(), TK_E_CORRUPT)
          << "seed " << kFirstSeed + run << ", damaged" << where;
    }
  }
}

}  // namespace
}  // namespace dizode
