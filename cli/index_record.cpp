// @brief Reading the collection's page table read-only.
#include "cli/index_record.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace fs = std::filesystem;

namespace zvv {
namespace {

// The component keeps the database of its collection in this subfolder.
constexpr char kDatabase[] = "/file/collection.db";
// As long as the component waits for another process that holds the database.
constexpr int kBusyTimeoutMs = 5000;

struct CloseDatabase {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct FinalizeStatement {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

// A file: URI for `path`; every byte that could end or change the path is escaped.
std::string FileUri(const std::string& path, const char* parameters) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = "file:";
  for (const char c : path) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      uri += c;
    } else {
      uri += '%';
      uri += kHex[static_cast<unsigned char>(c) >> 4];
      uri += kHex[static_cast<unsigned char>(c) & 0xF];
    }
  }
  return uri + "?" + parameters;
}

std::int64_t WrittenAt(const fs::path& file) {
  std::error_code error;
  const auto written = fs::last_write_time(file, error);
  if (error) return 0;
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::file_clock::to_sys(written).time_since_epoch())
      .count();
}

std::uintmax_t FolderBytes(const std::string& folder) {
  std::uintmax_t bytes = 0;
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    std::error_code sizeError;
    if (it->is_regular_file(sizeError)) {
      const auto size = it->file_size(sizeError);
      if (!sizeError) bytes += size;
    }
  }
  return bytes;
}

// File systems stamp a write with a clock that may advance only every few milliseconds, so a
// write just after an earlier one can leave the time of change as it was. A file last written
// longer ago than this cannot be written again without its time moving.
constexpr std::chrono::seconds kSettled{2};

std::optional<IndexRecord::FileStamp> SettledStamp(const std::string& path) {
  std::error_code error;
  if (fs::exists(path + "-wal", error) || error) return std::nullopt;
  IndexRecord::FileStamp stamp;
  stamp.m_size = fs::file_size(path, error);
  if (error) return std::nullopt;
  stamp.m_written = fs::last_write_time(path, error);
  if (error || fs::file_time_type::clock::now() - stamp.m_written < kSettled) return std::nullopt;
  return stamp;
}

}  // namespace

std::string IndexDatabase(const std::string& collectionFolder) {
  return collectionFolder + kDatabase;
}

std::optional<IndexRecord> ReadIndexRecord(const std::string& collectionFolder,
                                           std::string& problem) {
  problem.clear();
  const std::string path = IndexDatabase(collectionFolder);
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return std::nullopt;
  // Taken before reading: a write while reading makes it stale, never wrongly current.
  std::optional<IndexRecord::FileStamp> settled = SettledStamp(path);
  // Without a write-ahead log nobody is writing, and the file is read as it stands, which
  // makes no log or shared-memory file beside it; with one, its changes are read too.
  const bool logged = fs::exists(path + "-wal", error);
  sqlite3* raw = nullptr;
  const int opened = sqlite3_open_v2(FileUri(path, logged ? "mode=ro" : "immutable=1").c_str(),
                                     &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
  const std::unique_ptr<sqlite3, CloseDatabase> db(raw);
  // A writer finishing its update holds the database for a moment: wait, as the component does.
  if (opened == SQLITE_OK) sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
  sqlite3_stmt* rawStatement = nullptr;
  if (opened != SQLITE_OK ||
      sqlite3_prepare_v2(db.get(), "SELECT key, size, mtime, hash IS NULL FROM pages", -1,
                         &rawStatement, nullptr) != SQLITE_OK) {
    problem = db ? sqlite3_errmsg(db.get()) : "out of memory";
    return std::nullopt;
  }
  const std::unique_ptr<sqlite3_stmt, FinalizeStatement> statement(rawStatement);
  // Pages are mostly stored in key order: each goes in at the map's end with one comparison
  // when it follows the last, and is placed by a search only when it does not.
  IndexRecord record;
  int step = SQLITE_ROW;
  while ((step = sqlite3_step(statement.get())) == SQLITE_ROW) {
    const auto* key = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0));
    if (!key) continue;
    const auto page =
        record.m_pages.emplace_hint(record.m_pages.end(), key,
                                    PageStamp{sqlite3_column_int64(statement.get(), 1),
                                              sqlite3_column_int64(statement.get(), 2)});
    if (sqlite3_column_int(statement.get(), 3) != 0) {
      record.m_unreadable.emplace_hint(record.m_unreadable.end(), page->first);
    }
  }
  if (step != SQLITE_DONE) {
    problem = sqlite3_errmsg(db.get());
    return std::nullopt;
  }
  record.m_settled = settled;
  RefreshFolderFacts(record, collectionFolder);
  return record;
}

bool IndexIsReadOnly(const std::string& collectionFolder) {
  const std::string path = IndexDatabase(collectionFolder);
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return false;
  // Opened for writing and closed unwritten: the file and its time stay as they were. This
  // process holds no lock on the database here, which the close would let go of.
  std::FILE* file = std::fopen(path.c_str(), "r+b");
  if (!file) return errno == EACCES || errno == EPERM || errno == EROFS;
  std::fclose(file);
  return false;
}

bool IndexUntouched(const IndexRecord& record, const std::string& collectionFolder) {
  if (!record.m_settled) return false;
  const std::optional<IndexRecord::FileStamp> now = SettledStamp(IndexDatabase(collectionFolder));
  return now && *now == *record.m_settled;
}

void RefreshFolderFacts(IndexRecord& record, const std::string& collectionFolder) {
  const std::string path = IndexDatabase(collectionFolder);
  record.m_bytes = FolderBytes(collectionFolder);
  record.m_updated = std::max(WrittenAt(path), WrittenAt(path + "-wal"));
}

}  // namespace zvv
