// @brief Creation builds beside the collection in place and replaces it only when complete.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>

#include "toolkit_fixture.h"

namespace dizode {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::TempDir;
using testing::Toolkit;
using testing::WriteFile;
using testing::WritePage;

// Files of the folder whose name starts with "collection.db." (a creation's temporaries).
std::vector<std::string> Temporaries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::string name = entry.path().filename().string();
    if (name.rfind("collection.db.", 0) == 0) names.push_back(name);
  }
  return names;
}

std::vector<std::string> KeysOpened(const std::string& folder) {
  Toolkit reader(folder, TK_COLLECTION_OPEN);
  EXPECT_EQ(reader.openStatus(), TK_OK);
  return reader.openStatus() == TK_OK ? reader.Keys() : std::vector<std::string>{};
}

class CreationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_old = WritePage(m_dir, "old.htm", "Old", "kept words");
    m_new = WritePage(m_dir, "new.htm", "New", "fresh words");
    Toolkit first(m_folder);
    ASSERT_TK_OK(first.Submit(TK_SUBMIT_ADD, {m_old}));
  }

  TempDir m_dir;
  std::string m_folder = m_dir / "coll";
  std::string m_old, m_new;
};

TEST_F(CreationTest, OldCollectionServesUntilTheFirstSubmissionCommits) {
  Toolkit creator(m_folder);
  ASSERT_TK_OK(creator.openStatus());
  EXPECT_EQ(KeysOpened(m_folder), std::vector<std::string>{m_old}) << "while building";
  ASSERT_TK_OK(creator.Submit(TK_SUBMIT_ADD, {m_new}));
  EXPECT_EQ(KeysOpened(m_folder), std::vector<std::string>{m_new});
  EXPECT_TRUE(Temporaries(m_folder).empty());
  // The creator goes on writing to the collection now in place.
  ASSERT_TK_OK(creator.Submit(TK_SUBMIT_ADD, {m_old}));
  EXPECT_EQ(KeysOpened(m_folder).size(), 2u);
}

// Only a committed submission puts a creation in place: one closed before it (a host whose
// scan of the pages failed) leaves the old collection, or none, never an empty one.
TEST_F(CreationTest, ClosedWithoutSubmissionLeavesTheOldCollectionOrNone) {
  { Toolkit creator(m_folder); }
  EXPECT_EQ(KeysOpened(m_folder), std::vector<std::string>{m_old});
  EXPECT_TRUE(Temporaries(m_folder).empty());

  const std::string fresh = m_dir / "fresh";
  { Toolkit creator(fresh); }
  EXPECT_EQ(Toolkit(fresh, TK_COLLECTION_OPEN).openStatus(), TK_E_NO_COLLECTION);
  EXPECT_TRUE(Temporaries(fresh).empty());

  // A submission of no pages asks for an empty collection, and gets one.
  {
    Toolkit creator(m_folder);
    ASSERT_TK_OK(creator.Submit(TK_SUBMIT_ADD, {}));
  }
  EXPECT_TRUE(KeysOpened(m_folder).empty());
}

// A collection whose last writer died leaves its write-ahead log beside it. The log belongs to
// that file: beside the new one it would be read back into it.
TEST_F(CreationTest, TheOldCollectionsLogGoesWithIt) {
  const std::string database = m_folder + "/collection.db";
  {
    // A writer's log with commits not yet copied into the database, kept as a killed writer
    // leaves it.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "PRAGMA wal_autocheckpoint=0; INSERT INTO pages(key, title, titlekey)"
                           " VALUES('stale.htm', 'Stale', 'stale')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    fs::copy_file(database + "-wal", m_folder + "/kept-wal");
    sqlite3_close(db);
    fs::rename(m_folder + "/kept-wal", database + "-wal");
  }
  {
    Toolkit creator(m_folder);
    ASSERT_TK_OK(creator.Submit(TK_SUBMIT_ADD, {m_new}));
  }
  EXPECT_FALSE(fs::exists(database + "-wal"));
  EXPECT_FALSE(fs::exists(database + "-shm"));
  EXPECT_EQ(KeysOpened(m_folder), std::vector<std::string>{m_new});
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK);
  sqlite3_stmt* check = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
  sqlite3_finalize(check);
  sqlite3_close(db);
}

TEST_F(CreationTest, FailedSubmissionLeavesTheOldCollectionExactlyAsItWas) {
  const std::string before = ReadFile(m_folder + "/collection.db");
  {
    Toolkit creator(m_folder);
    ASSERT_TK_OK(creator.openStatus());
    // Another connection makes every page write of the build fail.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((m_folder + "/collection.db.new").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TRIGGER refuse BEFORE INSERT ON pages "
                           "BEGIN SELECT RAISE(ABORT, 'database or disk is full'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    EXPECT_NE(creator.Submit(TK_SUBMIT_ADD, {m_new}), TK_OK);
  }
  EXPECT_EQ(ReadFile(m_folder + "/collection.db"), before);
  EXPECT_TRUE(Temporaries(m_folder).empty());
  EXPECT_EQ(KeysOpened(m_folder), std::vector<std::string>{m_old});
}

TEST_F(CreationTest, FailedOpenLeavesTheOldCollection) {
  // A temporary that cannot be cleared away (a folder with something in it) fails the creation.
  fs::create_directories(m_folder + "/collection.db.new/inside");
  Toolkit creator(m_folder);
  EXPECT_EQ(creator.openStatus(), TK_E_IO);
  EXPECT_EQ(KeysOpened(m_folder), std::vector<std::string>{m_old});
}

// A creator killed while building: no destructor runs, its temporary stays behind.
int CreateAndDie(const std::string& folder) {
  Toolkit creator(folder);
  if (creator.openStatus() != TK_OK) return 1;
  std::_Exit(0);
}
// Registered before main, as the child process looks its body up by name.
// NOLINTNEXTLINE(cert-err58-cpp)
const bool kChild = testing::RegisterChild("create-and-die", CreateAndDie);

TEST_F(CreationTest, KilledCreationLeavesTheOldCollectionAndTheNextOneClearsUp) {
  ASSERT_TRUE(testing::RunChild("create-and-die", m_folder));
  ASSERT_FALSE(Temporaries(m_folder).empty()) << "the child died before completing";
  EXPECT_EQ(KeysOpened(m_folder), std::vector<std::string>{m_old});
  WriteFile(m_folder + "/collection.db.new-journal", "a stale journal of the dead build");
  {
    Toolkit creator(m_folder);
    ASSERT_TK_OK(creator.Submit(TK_SUBMIT_ADD, {m_new}));
  }
  EXPECT_EQ(KeysOpened(m_folder), std::vector<std::string>{m_new});
  EXPECT_TRUE(Temporaries(m_folder).empty());
}

}  // namespace
}  // namespace dizode
