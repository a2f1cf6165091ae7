// @brief Creating and opening collections: the roads that succeed and each road that fails.
#include "store.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>

#include "dizode/dizode.h"
#include "status.h"
#include "toolkit_fixture.h"

namespace dizode {
namespace {

using testing::TempDir;
using testing::Toolkit;
using testing::WriteFile;
using testing::WritePage;

int32_t StatusOf(auto&& action) {
  try {
    action();
    return TK_OK;
  } catch (const StatusError& error) {
    return error.status();
  }
}

std::string Meta(const Store& store, const char* key) {
  Stmt meta(store.db().get(), "SELECT value FROM meta WHERE key = ?1");
  meta.Bind(1, key);
  return meta.Step() ? meta.Text(0) : "";
}

TEST(StoreTest, CreateMakesFolderAndWalDatabase) {
  TempDir dir;
  auto store = Store::Create(dir / "coll", "");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "coll"));
  store->NoteWrite(0);  // completes the creation
  Stmt mode(store->db().get(), "PRAGMA journal_mode");
  ASSERT_TRUE(mode.Step());
  EXPECT_EQ(mode.Text(0), "wal");
  EXPECT_EQ(Meta(*store, "schema"), kSchemaVersion);
  EXPECT_EQ(Meta(*store, "language"), "english");
  EXPECT_EQ(store->DocumentCount(), 0);
}

TEST(StoreTest, StyleFileSetsLanguage) {
  TempDir dir;
  WriteFile(dir / "style", "# collection style\nlanguage=german\r\n");
  EXPECT_EQ(Meta(*Store::Create(dir / "coll", dir / "style"), "language"), "german");
  EXPECT_EQ(Meta(*Store::Create(dir / "c2", dir / "missing-style"), "language"), "english");
  // A language without a stemmer indexes words only; a name is never pasted into the schema.
  WriteFile(dir / "odd", "language=klingon', prefix='9\n");
  auto odd = Store::Create(dir / "c3", dir / "odd");
  EXPECT_EQ(Meta(*odd, "language"), "none");
  EXPECT_EQ(odd->language(), "none");
}

struct Failure {
  const char* name;
  void (*prepare)(const TempDir& dir);  // puts something at dir/coll
  int mode;
  int32_t status;
};

void Nothing(const TempDir&) {}
void EmptyFolder(const TempDir& dir) { std::filesystem::create_directory(dir / "coll"); }
void NotADatabase(const TempDir& dir) {
  EmptyFolder(dir);
  WriteFile(dir / "coll/collection.db", std::string(8192, 'x'));
}
void WrongSchema(const TempDir& dir) {
  auto store = Store::Create(dir / "coll", "");
  store->db().Exec("UPDATE meta SET value = '999' WHERE key = 'schema'", "test");
  store->NoteWrite(0);  // completes the creation
}
void NoMetaTable(const TempDir& dir) {
  auto store = Store::Create(dir / "coll", "");
  store->db().Exec("DROP TABLE meta", "test");
  store->NoteWrite(0);  // completes the creation
}
// A collection cut short, as by a copy that ran out of room.
void Truncated(const TempDir& dir) {
  std::vector<std::string> pages;
  for (int i = 0; i < 40; ++i) {
    std::string words;
    for (int w = 0; w < 200; ++w) words += "word" + std::to_string(i * 1000 + w) + " ";
    pages.push_back(WritePage(dir, "p" + std::to_string(i) + ".htm", "Page", words));
  }
  {
    Toolkit toolkit(dir / "coll");
    ASSERT_TK_OK(toolkit.Submit(TK_SUBMIT_ADD, pages));
  }
  const std::string path = dir / "coll/collection.db";
  std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
}
void FileInsteadOfFolder(const TempDir& dir) { WriteFile(dir / "coll", "stray"); }
// A collection an engine with FTS5's own tokenizer wrote: its index reads words differently,
// so searching it would miss pages. It must be rebuilt, not opened.
void OlderEngine(const TempDir& dir) {
  EmptyFolder(dir);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((dir / "coll/collection.db").c_str(), &db), SQLITE_OK);
  const char* sql =
      "CREATE TABLE pages(id INTEGER PRIMARY KEY, key TEXT NOT NULL UNIQUE, title TEXT NOT NULL,"
      " titlekey TEXT NOT NULL, size INTEGER, mtime INTEGER, hash BLOB, charset TEXT, lang TEXT);"
      "CREATE VIRTUAL TABLE fts USING fts5(title, heads, body,"
      " tokenize = 'porter unicode61 remove_diacritics 2', prefix = '2 3');"
      "CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT);"
      "INSERT INTO meta VALUES('schema', '1'), ('extractor', '1'),"
      " ('tokenizer', 'porter unicode61 remove_diacritics 2'), ('language', 'english');";
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
}

// Test listings show the case's name instead of its bytes.
void PrintTo(const Failure& c, std::ostream* out) { *out << c.name; }

class OpenFailureTest : public ::testing::TestWithParam<Failure> {};

TEST_P(OpenFailureTest, GivesItsStatusAndNoHandle) {
  TempDir dir;
  GetParam().prepare(dir);
  Toolkit toolkit(dir / "coll", GetParam().mode);
  EXPECT_EQ(toolkit.openStatus(), GetParam().status) << TkStatusText(toolkit.openStatus());
  EXPECT_EQ(toolkit.collection(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Roads, OpenFailureTest,
    ::testing::Values(Failure{"OpenMissing", Nothing, TK_COLLECTION_OPEN, TK_E_NO_COLLECTION},
                      Failure{"OpenEmptyFolder", EmptyFolder, TK_COLLECTION_OPEN,
                              TK_E_NO_COLLECTION},
                      Failure{"OpenNotADatabase", NotADatabase, TK_COLLECTION_OPEN, TK_E_CORRUPT},
                      Failure{"OpenWrongSchema", WrongSchema, TK_COLLECTION_OPEN, TK_E_CORRUPT},
                      Failure{"OpenNoMetaTable", NoMetaTable, TK_COLLECTION_OPEN, TK_E_CORRUPT},
                      Failure{"OpenTruncated", Truncated, TK_COLLECTION_OPEN, TK_E_CORRUPT},
                      Failure{"OpenOlderEngine", OlderEngine, TK_COLLECTION_OPEN, TK_E_CORRUPT},
                      Failure{"OpenFileInsteadOfFolder", FileInsteadOfFolder, TK_COLLECTION_OPEN,
                              TK_E_NO_COLLECTION},
                      Failure{"UnknownMode", Nothing, 0x24, TK_E_BAD_MODE}),
    [](const auto& info) { return std::string(info.param.name); });

// Passing failures are told apart from a corrupt collection: the host retries them instead of
// rebuilding.
TEST(StoreTest, OpenOfACollectionLockedByAnotherConnectionIsBusy) {
  TempDir dir;
  {
    Toolkit creator(dir / "coll");
    ASSERT_TK_OK(creator.Submit(TK_SUBMIT_ADD, {}));
  }
  sqlite3* holder = nullptr;
  ASSERT_EQ(sqlite3_open((dir / "coll/collection.db").c_str(), &holder), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(holder,
                         "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;"
                         "INSERT INTO meta VALUES('held', 'yes')",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  Toolkit reader(dir / "coll", TK_COLLECTION_OPEN);  // waits out the busy timeout
  EXPECT_EQ(reader.openStatus(), TK_E_BUSY) << TkStatusText(reader.openStatus());
  sqlite3_close(holder);
}

// The child: opens the collection with only `spare` file descriptors left to the process.
int OpenWithFewDescriptors(const std::string& argument) {
  const std::string folder = argument.substr(2);
  const int spare = argument[0] - '0';
  auto args = MakeRecord<TkSessionArgs>();
  TkSession session = 0;
  if (TkOpenSession(&session, &args) != TK_OK) return 2;
  std::vector<int> held;
  for (int fd; (fd = ::open("/dev/null", O_RDONLY)) >= 0;) held.push_back(fd);
  for (int i = 0; i < spare && !held.empty(); ++i) {
    ::close(held.back());
    held.pop_back();
  }
  auto open = MakeRecord<TkCollectionArgs>();
  open.path = folder.c_str();
  open.mode = TK_COLLECTION_OPEN;
  TkCollection collection = 0;
  int32_t status = TkOpenCollection(session, &collection, &open);
  return status == TK_E_IO ? 0 : 10 + (-status);
}
// Registered before main, as the child process looks its body up by name.
// NOLINTNEXTLINE(cert-err58-cpp)
const bool kFewDescriptorsChild = testing::RegisterChild("open-few-fds", OpenWithFewDescriptors);

TEST(StoreTest, OpenWithoutFileDescriptorsIsAnInputOutputFailure) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' runtime needs descriptors of its own to check the child";
#endif
  TempDir dir;
  std::string page = WritePage(dir, "a.htm", "A", "alpha");
  {
    Toolkit creator(dir / "coll");
    ASSERT_TK_OK(creator.Submit(TK_SUBMIT_ADD, {page}));
  }
  // None left: the database itself; one or two: its write-ahead log and its shared index.
  for (int spare : {0, 1, 2}) {
    // Bounded, so that the child's loop up to the limit stays short.
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
    rlimit lowered = limit;
    lowered.rlim_cur = std::min<rlim_t>(limit.rlim_cur, 1024);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &lowered), 0);
    bool io = testing::RunChild("open-few-fds", std::to_string(spare) + ":" + (dir / "coll"));
    setrlimit(RLIMIT_NOFILE, &limit);
    EXPECT_TRUE(io) << spare << " spare descriptors";
  }
}

// Paths are UTF-8 whatever the system's code page: creation, its style file, the move of the
// finished build into place and a later open all find the same files.
TEST(StoreTest, NamesOutsideAsciiAreCreatedPublishedAndReopened) {
  TempDir dir;
  const std::string folder = dir / "Sammlung \u00dcbersicht \u65e5\u672c";
  WriteFile(dir / "stil caf\u00e9", "language=german\n");
  Store::Create(folder, dir / "stil caf\u00e9")->NoteWrite(0);
  EXPECT_TRUE(std::filesystem::exists(DatabasePath(folder)));
  EXPECT_FALSE(std::filesystem::exists(DatabasePath(folder) + ".new"));
  EXPECT_EQ(Meta(*Store::Open(folder), "language"), "german");
}

TEST(StoreTest, OpenNeverCreates) {
  TempDir dir;
  EXPECT_EQ(StatusOf([&] { Store::Open(dir / "coll"); }), TK_E_NO_COLLECTION);
  EXPECT_FALSE(std::filesystem::exists(dir / "coll"));
}

TEST(StoreTest, CreateFailsWhenParentIsMissing) {
  TempDir dir;
  Toolkit toolkit(dir / "missing/coll");
  EXPECT_EQ(toolkit.openStatus(), TK_E_CREATE_FAILED);
  EXPECT_EQ(toolkit.collection(), 0u);
}

TEST(StoreTest, CreateReplacesUnusableOrExistingCollection) {
  for (auto prepare : {NotADatabase, WrongSchema, FileInsteadOfFolder, EmptyFolder}) {
    TempDir dir;
    prepare(dir);
    Toolkit toolkit(dir / "coll");
    ASSERT_TK_OK(toolkit.openStatus());
    EXPECT_TRUE(toolkit.Keys().empty());
  }
  TempDir dir;
  std::string page = WritePage(dir, "a.htm", "A", "alpha");
  {
    Toolkit first(dir / "coll");
    ASSERT_TK_OK(first.Submit(TK_SUBMIT_ADD, {page}));
  }
  Toolkit again(dir / "coll");
  ASSERT_TK_OK(again.openStatus());
  EXPECT_TRUE(again.Keys().empty()) << "creation starts from an empty collection";
  Toolkit reopened(dir / "coll", TK_COLLECTION_OPEN);
  ASSERT_TK_OK(reopened.openStatus());
}

TEST(StoreTest, CountFollowsOtherConnectionsCommits) {
  TempDir dir;
  auto store = Store::Create(dir / "coll", "");
  store->NoteWrite(0);
  EXPECT_EQ(store->DocumentCount(), 0);
  auto other = Store::Open(dir / "coll");
  other->db().Exec(
      "INSERT INTO pages(key, title, titlekey) VALUES('k', 't', 't');"
      "INSERT INTO fts(rowid, title, heads, body) VALUES(last_insert_rowid(), 't', '', '')",
      "test");
  store->Refresh();
  EXPECT_EQ(store->DocumentCount(), 1);
}

}  // namespace
}  // namespace dizode
