#include "query/vocabulary.h"

#include <memory>

#include <sqlite3.h>

#include "query/limits.h"
#include "text/stemmer.h"

namespace dizode::query {
namespace {

struct StatementDeleter {
  void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};

}  // namespace

Expansion ExpandPattern(sqlite3* db, const std::string& pattern) {
  Expansion expansion;
  if (db == nullptr) {
    return expansion;
  }
  // One row beyond the limit tells a full list from a truncated one.
  static constexpr const char* kSql =
      "SELECT term FROM fts_vocab WHERE term GLOB ?1 AND term NOT GLOB ?3 "
      "ORDER BY doc DESC, term LIMIT ?2";
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, kSql, -1, &raw, nullptr) != SQLITE_OK) {
    sqlite3_finalize(raw);
    expansion.error = sqlite3_errmsg(db);
    return expansion;
  }
  std::unique_ptr<sqlite3_stmt, StatementDeleter> stmt(raw);
  sqlite3_bind_text(raw, 1, pattern.data(), static_cast<int>(pattern.size()), SQLITE_TRANSIENT);
  sqlite3_bind_int(raw, 2, kMaxExpansion + 1);
  // Stems are the index's own terms, not words anyone typed: a pattern never expands to one.
  const std::string stems = std::string(text::kStemMarker) + "*";
  sqlite3_bind_text(raw, 3, stems.data(), static_cast<int>(stems.size()), SQLITE_TRANSIENT);
  int rc = SQLITE_ROW;
  while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
    if (static_cast<int>(expansion.terms.size()) == kMaxExpansion) {
      expansion.truncated = true;
      break;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(raw, 0));
    expansion.terms.emplace_back(text ? text : "");
  }
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
    expansion.interrupted = (rc & 0xFF) == SQLITE_INTERRUPT;
    expansion.error = sqlite3_errmsg(db);
    expansion.terms.clear();
  }
  return expansion;
}

}  // namespace dizode::query
