// @brief Creating, validating and maintaining a collection's database.
#include "store.h"

#include <atomic>
#include <filesystem>
#include <fstream>

#include "ascii.h"
#include "dizode/dizode.h"
#include "file_system.h"
#include "query/help_rank.h"
#include "status.h"
#include "text/fts_tokenizer.h"
#include "text/stemmer.h"
#include "wide_path.h"

namespace dizode {

std::string SchemaSql(const std::string& language) {
  return R"sql(
CREATE TABLE pages(id INTEGER PRIMARY KEY, key TEXT NOT NULL UNIQUE, title TEXT NOT NULL,
  titlekey TEXT NOT NULL, size INTEGER, mtime INTEGER, hash BLOB, charset TEXT, lang TEXT,
  sections BLOB, name INTEGER NOT NULL DEFAULT 0);
CREATE VIRTUAL TABLE fts USING fts5(title, heads, body,
  tokenize = 'helptok )sql" +
         language + R"sql(');
CREATE VIRTUAL TABLE fts_vocab USING fts5vocab(fts, 'row');
CREATE VIRTUAL TABLE evidence USING fts5(links, tokenize = 'helptok )sql" +
         language + R"sql(');
CREATE TABLE links(target INTEGER NOT NULL, source INTEGER NOT NULL, text TEXT NOT NULL,
  PRIMARY KEY(target, source, text)) WITHOUT ROWID;
CREATE INDEX links_by_source ON links(source);
CREATE TABLE headings(page INTEGER NOT NULL, ord INTEGER NOT NULL, heading TEXT NOT NULL,
  anchor TEXT NOT NULL, PRIMARY KEY(page, ord)) WITHOUT ROWID;
CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT);
)sql";
}

void PrepareConnection(sqlite3* db) {
  if (int rc = text::RegisterHelpTokenizer(db)) CheckSqlite(db, rc, "register tokenizer");
  if (int rc = query::RegisterHelpRank(db)) CheckSqlite(db, rc, "register ranking");
}

namespace {

// Pages of merge work per refresh request: small enough to stay well under a millisecond.
constexpr int kMergePages = 16;

namespace fs = std::filesystem;

// The stem language named by a style file ("language=english"), or "english". A language
// without a stemmer is "none": its pages are indexed without stems.
std::string StyleLanguage(const std::string& styleFile) {
  std::string language = "english";
  if (styleFile.empty()) return language;
  std::ifstream in(FilePath(styleFile));
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("language=", 0) != 0) continue;
    std::string value = line.substr(9);
    while (!value.empty() && (value.back() == '\r' || value.back() == ' ')) value.pop_back();
    if (!value.empty()) language = ascii::Lower(value);
  }
  return text::HasStemmer(language) ? language : "none";
}

void MakeFolder(const std::string& folder) {
  std::error_code error;
  const fs::path where = FilePath(folder);
  if (fs::is_directory(where, error)) return;
  // A stray file where the folder belongs is an unusable collection: it is replaced.
  if (fs::exists(fs::symlink_status(where, error)) && !fs::remove(where, error))
    Fail(TK_E_CREATE_FAILED, "create: cannot replace " + folder + ": " + error.message());
  // One level only: the parent must exist.
  if (!fs::create_directory(where, error) && !fs::is_directory(where))
    Fail(TK_E_CREATE_FAILED, "create: cannot make " + folder + ": " + error.message());
}

constexpr const char* kLogSuffixes[] = {"-wal", "-shm", "-journal"};

void RemoveDatabaseFiles(const std::string& path) {
  std::error_code error;
  fs::remove(FilePath(path), error);
  if (error) Fail(TK_E_IO, "cannot remove " + path + ": " + error.message());
  for (const char* suffix : kLogSuffixes) {
    fs::remove(FilePath(path + suffix), error);
    if (error) Fail(TK_E_IO, "cannot remove " + path + suffix + ": " + error.message());
  }
}

void RemoveDatabaseFilesQuietly(const std::string& path) noexcept {
  std::error_code ignored;
  fs::remove(FilePath(path), ignored);
  for (const char* suffix : kLogSuffixes) fs::remove(FilePath(path + suffix), ignored);
}

std::atomic<WritableCheck> g_writable{MayWrite};

// An SQLite URI for a file path: the characters a URI gives a meaning to are escaped.
std::string FileUri(const std::string& path, const char* query) {
  std::string uri = "file:";
  for (char c : path) {
    if (c == '%' || c == '?' || c == '#') {
      static const char kHex[] = "0123456789abcdef";
      uri += '%';
      uri += kHex[static_cast<unsigned char>(c) >> 4];
      uri += kHex[c & 0xF];
    } else {
      uri += c;
    }
  }
  return uri + "?" + query;
}

// The name a creation builds under, beside the collection it replaces.
std::string BuildPath(const std::string& folder) { return DatabasePath(folder) + ".new"; }

}  // namespace

std::string DatabasePath(const std::string& folder) { return folder + "/" + kDatabaseName; }

void SetWritableCheck(WritableCheck check) { g_writable = check ? check : MayWrite; }

Db Store::Connect(const std::string& path, int flags) {
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  Db db(raw);
  if (rc != SQLITE_OK) CheckSqlite(raw, rc, "open");
  sqlite3_extended_result_codes(raw, 1);
  sqlite3_busy_timeout(raw, kBusyTimeoutMs);
  PrepareConnection(raw);
  return db;
}

std::unique_ptr<Store> Store::Create(const std::string& folder, const std::string& styleFile) {
  if (folder.empty()) Fail(TK_E_BAD_ARGUMENT, "create: empty collection path");
  MakeFolder(folder);
  const std::string building = BuildPath(folder);
  RemoveDatabaseFiles(building);  // what a killed creation left
  try {
    // Built with a rollback journal, so that once closed the whole database is in one file
    // that a rename can put in place.
    Db db = Connect(building, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    const std::string language = StyleLanguage(styleFile);
    {
      Transaction transaction(db);
      db.Exec(SchemaSql(language).c_str(), "create schema");
      Stmt meta(db.get(), "INSERT INTO meta(key, value) VALUES(?1, ?2)");
      const std::pair<const char*, std::string> rows[] = {{"schema", kSchemaVersion},
                                                          {"extractor", kExtractorVersion},
                                                          {"tokenizer", kTokenizer},
                                                          {"language", language}};
      for (const auto& [key, value] : rows) {
        meta.Bind(1, key).Bind(2, value);
        meta.Run();
      }
      transaction.Commit();
    }
    std::unique_ptr<Store> store(new Store(folder, std::move(db), language));
    store->m_buildPath = building;
    return store;
  } catch (...) {
    RemoveDatabaseFilesQuietly(building);
    throw;
  }
}

Store::~Store() {
  if (m_buildPath.empty()) return;
  // Nothing was committed: the old collection stays and the temporary file goes.
  m_db = Db();
  RemoveDatabaseFilesQuietly(m_buildPath);
}

void Store::Publish() {
  const std::string path = DatabasePath(m_folder);
  m_db = Db();  // closed, the build's rollback journal is gone and its file is whole
  try {
    // The old collection's write-ahead log belongs to the old file: left beside the new one,
    // it would be replayed into it. Without its log the old file is still a consistent
    // collection, so a kill between these steps leaves something usable.
    for (const char* suffix : kLogSuffixes) {
      std::error_code error;
      fs::remove(FilePath(path + suffix), error);
      if (error) Fail(TK_E_IO, "cannot remove " + path + suffix + ": " + error.message());
    }
    std::error_code error;
    fs::rename(FilePath(m_buildPath), FilePath(path), error);
    if (error) Fail(TK_E_IO, "cannot move the new collection into place: " + error.message());
  } catch (...) {
    m_db = Connect(m_buildPath, SQLITE_OPEN_READWRITE);  // the build goes on
    throw;
  }
  m_buildPath.clear();
  SyncFolder(m_folder);
  m_db = Connect(path, SQLITE_OPEN_READWRITE);
  m_db.Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", "open");
  m_count = -1;
  m_countVersion = -1;
}

const Db& Store::db() const {
  if (!m_db.get()) Fail(TK_E_IO, "the collection's connection was lost: reopen the collection");
  return m_db;
}

std::unique_ptr<Store> Store::Open(const std::string& folder) {
  if (folder.empty()) Fail(TK_E_BAD_ARGUMENT, "open: empty collection path");
  std::string path = DatabasePath(folder);
  std::error_code error;
  if (!fs::is_directory(FilePath(folder), error) || !fs::exists(FilePath(path), error))
    Fail(TK_E_NO_COLLECTION, "open: no collection at " + folder);
  const WritableCheck writable = g_writable;
  const bool readOnly = !writable(folder) || !writable(path);
  // Read-only, the database is taken as it stands: no lock, log or shared index is made, which
  // a folder nobody may write could not hold anyway.
  Db db = readOnly ? Connect(FileUri(path, "immutable=1"), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI)
                   : Connect(path, SQLITE_OPEN_READWRITE);
  std::string language = "none";
  try {
    if (!readOnly) db.Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", "open");
    Stmt meta(db.get(), "SELECT value FROM meta WHERE key = ?1");
    for (const auto& [key, expected] :
         {std::pair{"schema", kSchemaVersion}, std::pair{"extractor", kExtractorVersion},
          std::pair{"tokenizer", kTokenizer}}) {
      meta.Bind(1, key);
      if (!meta.Step() || meta.Text(0) != expected)
        Fail(TK_E_CORRUPT, std::string("open: collection ") + key + " version does not match");
      meta.Reset();
    }
    meta.Bind(1, "language");
    if (meta.Step()) language = meta.Text(0);
    meta.Reset();
    // The tables the searches rely on must be there and readable.
    Stmt probe(db.get(), "SELECT (SELECT count(*) FROM pages), (SELECT rowid FROM fts LIMIT 1)");
    probe.Step();
  } catch (const StatusError& error) {
    // A file that is not a database, or lacks our tables, is an unusable collection; a busy,
    // full or unreadable one is a passing failure, and reported as such.
    if (error.status() != TK_E_CORRUPT && error.status() != TK_E_INTERNAL) throw;
    Fail(TK_E_CORRUPT, error.what());
  }
  std::unique_ptr<Store> store(new Store(folder, std::move(db), language));
  store->m_readOnly = readOnly;
  return store;
}

int64_t Store::DataVersion() {
  Stmt version(db().get(), "PRAGMA data_version");
  version.Step();
  return version.Int(0);
}

int64_t Store::DocumentCount() {
  int64_t version = DataVersion();
  if (m_count < 0 || version != m_countVersion) {
    Stmt count(db().get(), "SELECT count(*) FROM pages");
    count.Step();
    m_count = count.Int(0);
    m_countVersion = version;
    m_mergeBudget = std::max<int64_t>(m_mergeBudget, 1);  // another process wrote
  }
  return m_count;
}

void Store::NoteWrite(int64_t pagesTouched) {
  if (creating()) Publish();
  m_count = -1;
  // The submission's own merging leaves work behind; finishing most of it now, while the
  // caller already waits for a submission, keeps the refresh requests before searches cheap.
  try {
    Merge(kMergePages * (4 + pagesTouched / 16));
  } catch (const StatusError& error) {
    // The submission is committed whatever happens here, and refresh requests merge later;
    // but a damaged index is not something a later merge mends: the caller must hear of it
    // (and rebuild) instead of a success on an index that cannot serve the pages written.
    if (error.status() == TK_E_CORRUPT) throw;
  }
  m_mergeBudget = 2;
}

void Store::Refresh() {
  DocumentCount();  // re-reads the count when another process has committed
  if (m_mergeBudget <= 0) return;
  --m_mergeBudget;
  if (!Merge(kMergePages)) ++m_mergeBudget;  // busy: try again at the next request
}

bool Store::Merge(int64_t pages) {
  if (m_readOnly) return true;  // nothing to merge that this connection may write
  // Merging is a write: it must never wait for another process's submission to finish.
  sqlite3_busy_timeout(db().get(), 0);
  std::string sql = "INSERT INTO fts(fts, rank) VALUES('merge', " + std::to_string(pages) + ")";
  int rc = sqlite3_exec(db().get(), sql.c_str(), nullptr, nullptr, nullptr);
  sqlite3_busy_timeout(db().get(), kBusyTimeoutMs);
  if ((rc & 0xFF) == SQLITE_BUSY) return false;
  CheckSqlite(db().get(), rc, "merge");
  return true;
}
}  // namespace dizode
