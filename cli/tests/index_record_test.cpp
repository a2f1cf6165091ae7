// Reading the collection's page table, and telling when a second read would find the same.
#include "cli/index_record.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace zvv {
namespace {

class IndexRecordTest : public ::testing::Test {
 public:
  void SetUp() override {
    m_folder = fs::temp_directory_path() /
               ("zvv-index-record-" +
                std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(m_folder / "file");
  }
  void TearDown() override { fs::remove_all(m_folder); }

  std::string Folder() const { return m_folder.string(); }

  // Runs `sql` on the collection's database, in rollback mode so that no log stays beside it.
  void Execute(const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(IndexDatabase(Folder()).c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int result = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(result, SQLITE_OK) << message;
  }

  // Dates the database back, as an index last updated a while ago.
  void Age() {
    const std::string path = IndexDatabase(Folder());
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::minutes(1));
  }

  void CreatePages() {
    // Stored out of key order, with one page whose text could not be read.
    Execute(
        "CREATE TABLE pages(id INTEGER PRIMARY KEY, key TEXT NOT NULL UNIQUE, size INTEGER, "
        "mtime INTEGER, hash BLOB);"
        "INSERT INTO pages(key, size, mtime, hash) VALUES ('/h/b.htm', 2, 20, x'01'), "
        "('/h/a.htm', 1, 10, x'02'), ('/h/c.htm', 3, 30, NULL), ('/h/0.htm', 4, 40, x'03');");
  }

 private:
  fs::path m_folder;
};

TEST_F(IndexRecordTest, ReadsEveryPageWhateverTheOrderItIsStoredIn) {
  CreatePages();
  std::string problem;
  const std::optional<IndexRecord> record = ReadIndexRecord(Folder(), problem);
  ASSERT_TRUE(record) << problem;
  const PageStamps expected = {
      {"/h/0.htm", {4, 40}}, {"/h/a.htm", {1, 10}}, {"/h/b.htm", {2, 20}}, {"/h/c.htm", {3, 30}}};
  EXPECT_EQ(record->m_pages, expected);
  EXPECT_EQ(record->m_unreadable, std::set<std::string>{"/h/c.htm"});
  EXPECT_EQ(record->m_bytes, fs::file_size(IndexDatabase(Folder())));
}

TEST_F(IndexRecordTest, UntouchedOnlyWhileTheSettledDatabaseStaysAsItWasRead) {
  struct Case {
    const char* what;
    bool agedBeforeRead;
    void (*after)(IndexRecordTest&);
    bool untouched;
  };
  const std::vector<Case> cases = {
      {"left alone", true, [](IndexRecordTest&) {}, true},
      {"a page changed", true,
       [](IndexRecordTest& t) { t.Execute("UPDATE pages SET size = 9 WHERE key = '/h/a.htm'"); },
       false},
      {"a page added, then dated back again", true,
       [](IndexRecordTest& t) {
         t.Execute("INSERT INTO pages(key, size, mtime) VALUES ('/h/d.htm', 1, 1)");
         t.Age();
       },
       false},
      {"a log beside it", true,
       [](IndexRecordTest& t) { std::ofstream(IndexDatabase(t.Folder()) + "-wal") << "log"; },
       false},
      // Written moments before it was read: a write just after might not move its time.
      {"freshly written when read", false, [](IndexRecordTest&) {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(IndexDatabase(Folder()));
    fs::remove(IndexDatabase(Folder()) + "-wal");
    CreatePages();
    if (c.agedBeforeRead) Age();
    std::string problem;
    const std::optional<IndexRecord> record = ReadIndexRecord(Folder(), problem);
    ASSERT_TRUE(record) << problem;
    c.after(*this);
    EXPECT_EQ(IndexUntouched(*record, Folder()), c.untouched);
  }
}

TEST_F(IndexRecordTest, AnIndexThatIsNotThereIsNeverUntouched) {
  std::string problem;
  EXPECT_FALSE(ReadIndexRecord(Folder(), problem));
  EXPECT_TRUE(problem.empty());
  EXPECT_FALSE(IndexUntouched(IndexRecord{}, Folder()));
}

// Another process finishing its update holds the database for a moment; the report waits for
// it, as the component does, instead of failing with "database is locked".
TEST_F(IndexRecordTest, AReadWaitsForAWriterThatHoldsTheDatabase) {
  CreatePages();
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(IndexDatabase(Folder()).c_str(), &writer), SQLITE_OK);
  ASSERT_EQ(
      sqlite3_exec(writer,
                   "PRAGMA journal_mode=WAL; PRAGMA locking_mode=EXCLUSIVE;"
                   "INSERT INTO pages(key, size, mtime, hash) VALUES ('/h/d.htm', 5, 50, x'04')",
                   nullptr, nullptr, nullptr),
      SQLITE_OK);
  // Let go once the read has begun, and found the database held.
  std::thread release([writer] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    sqlite3_close(writer);
  });
  std::string problem;
  const std::optional<IndexRecord> record = ReadIndexRecord(Folder(), problem);
  release.join();
  ASSERT_TRUE(record) << problem;
  EXPECT_EQ(record->m_pages.size(), 5u);
}

}  // namespace
}  // namespace zvv
