// @brief A collection on disk: one SQLite database in a folder the engine owns.
//
// The database runs in WAL mode with a busy timeout, so one process can search while another
// submits. Its schema is the contract with the query translator:
//   pages(id, key UNIQUE, title, titlekey, size, mtime, hash, charset, lang)
//   fts(title, heads, body)  -- rowid = pages.id, plain text, tokenized by helptok
//   fts_vocab                -- row vocabulary of fts, for wildcard expansion
//   meta(key, value)         -- schema, extractor and tokenizer versions, stem language
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "sqlite_db.h"

namespace dizode {

inline constexpr const char* kDatabaseName = "collection.db";
// A collection written under other versions is rebuilt rather than searched with rules it was
// not indexed by.
inline constexpr const char* kSchemaVersion = "3";
inline constexpr const char* kExtractorVersion = "4";
inline constexpr const char* kTokenizer = "helptok 1";
inline constexpr int kBusyTimeoutMs = 5000;

class Store {
 public:
  // Makes the folder when missing (its parent must exist) and builds an empty collection beside
  // whatever is there, under a temporary name: the collection in place (or a stray file) stays
  // whole, and searchable by others, until the new one is complete. The creation completes,
  // replacing the old collection by one rename, at its first committed write only (a
  // submission of no pages commits too, for an empty collection). A creation closed before
  // that is abandoned: an empty build is never put over a good collection, the old collection
  // stays as it was and the temporary file goes. A temporary file left by a killed creation is
  // removed by the next creation. `styleFile` may name a "language=..." file.
  static std::unique_ptr<Store> Create(const std::string& folder, const std::string& styleFile);
  // Opens an existing, valid collection; never creates one. A collection whose file or folder
  // cannot be written (an installed application's prebuilt index) opens read-only: searches
  // work, submissions fail with TK_E_READ_ONLY, and nothing is written, not even a log.
  static std::unique_ptr<Store> Open(const std::string& folder);
  ~Store();
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  // The connection; fails with TK_E_IO when completing a creation lost it.
  const Db& db() const;
  // The Snowball language of the collection's stems, or "none".
  const std::string& language() const { return m_language; }
  const std::string& folder() const { return m_folder; }
  bool readOnly() const { return m_readOnly; }
  // True while a creation has not yet replaced the collection in place.
  bool creating() const { return !m_buildPath.empty(); }

  // Number of pages, cached until this connection writes or another one commits.
  int64_t DocumentCount();
  // Called after every committed write of this connection: a pending creation completes, the
  // count changes, and the index segments the write left are merged (best effort).
  void NoteWrite(int64_t pagesTouched);
  // Picks up other processes' commits and does a bounded step of index merging. Cheap.
  void Refresh();

 private:
  Store(std::string folder, Db db, std::string language)
      : m_folder(std::move(folder)), m_db(std::move(db)), m_language(std::move(language)) {}
  static Db Connect(const std::string& path, int flags);
  // Moves the creation into place and connects to it there. On failure the old collection is
  // left as it was and the store goes on building.
  void Publish();
  int64_t DataVersion();
  // One step of incremental index merging of at most `pages` pages; false when busy.
  bool Merge(int64_t pages);

  std::string m_folder;
  Db m_db;
  std::string m_language;
  std::string m_buildPath;  // the creation's temporary database until it is published
  bool m_readOnly = false;
  int64_t m_count = -1;
  int64_t m_countVersion = -1;
  int64_t m_mergeBudget = 0;
};

std::string DatabasePath(const std::string& folder);

// Whether the engine may write `path` (a file or a folder). Tests put their own check in place
// to stand for a read-only installation, since a privileged test run may write anything; null
// puts the file system's own answer back.
using WritableCheck = bool (*)(const std::string& path);
void SetWritableCheck(WritableCheck check);

// The tables of a collection whose stems are in `language` (a Snowball name, or "none").
std::string SchemaSql(const std::string& language);

// Adds the engine's tokenizer and ranking function to a connection; every connection to a
// collection needs them before it reads or writes the index. Throws StatusError.
void PrepareConnection(sqlite3* db);

}  // namespace dizode
