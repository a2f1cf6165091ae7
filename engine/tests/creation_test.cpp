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

TEST_F(CreationTest, ClosedWithoutSubmissionLeavesAnEmptyCollection) {
  { Toolkit creator(m_folder); }
  EXPECT_TRUE(KeysOpened(m_folder).empty());
  EXPECT_TRUE(Temporaries(m_folder).empty());
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
