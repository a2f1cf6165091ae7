// @brief Query texts through the whole compiler (lexer, parser, translator,
// SQL) and the SQL it builds through SQLite against the engine's schema.
//
// The first byte picks the options; the rest is the query. A compiled query
// must never hit the compiler's internal-fault road (an exception it caught),
// its diagnostics must point inside the text, and whatever SQL it hands the
// store must be SQL that SQLite and FTS5 accept.
#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "query/query.h"
#include "store.h"

namespace {

sqlite3* Collection() {
  static sqlite3* db = [] {
    sqlite3* opened = nullptr;
    FUZZ_CHECK(sqlite3_open(":memory:", &opened) == SQLITE_OK, "in-memory database");
    dizode::PrepareConnection(opened);
    const std::string schema = dizode::SchemaSql("english") +
                               "INSERT INTO pages(key, title, titlekey) VALUES('a.htm', 'Alpha "
                               "install', 'alpha install');"
                               "INSERT INTO fts(rowid, title, heads, body) VALUES(1, 'Alpha "
                               "install', 'setup', 'installing the alpha module near beta');";
    FUZZ_CHECK(sqlite3_exec(opened, schema.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK,
               "schema");
    return opened;
  }();
  return db;
}

void CheckDiagnostic(const dizode::query::Diagnostic& d, size_t textSize) {
  FUZZ_CHECK(d.code != dizode::query::Code::kInternal, "internal fault while compiling");
  FUZZ_CHECK(d.offset >= 0 && d.length >= 0, "negative position");
  FUZZ_CHECK(static_cast<size_t>(d.offset) + static_cast<size_t>(d.length) <= textSize,
             "diagnostic beyond the text");
  FUZZ_CHECK(!d.message.empty(), "diagnostic without a message");
}

void Run(sqlite3* db, const dizode::query::Statement& statement) {
  sqlite3_stmt* prepared = nullptr;
  const int prepare = sqlite3_prepare_v2(db, statement.sql.c_str(), -1, &prepared, nullptr);
  if (prepare != SQLITE_OK) {
    std::fprintf(stderr, "%s\n%s\n", sqlite3_errmsg(db), statement.sql.c_str());
  }
  FUZZ_CHECK(prepare == SQLITE_OK, "SQL that SQLite refuses");
  for (size_t i = 0; i < statement.params.size(); ++i) {
    sqlite3_bind_text(prepared, static_cast<int>(i + 1), statement.params[i].c_str(), -1,
                      SQLITE_TRANSIENT);
  }
  int step;
  while ((step = sqlite3_step(prepared)) == SQLITE_ROW) {
  }
  if (step != SQLITE_DONE) {
    std::fprintf(stderr, "%s\n%s\n", sqlite3_errmsg(db), statement.sql.c_str());
    for (const std::string& param : statement.params) {
      std::fprintf(stderr, "param: %s\n", param.c_str());
    }
  }
  sqlite3_finalize(prepared);
  FUZZ_CHECK(step == SQLITE_DONE, "SQL that SQLite fails to run");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) {
    return 0;
  }
  dizode::query::Options options;
  options.bareOperators = (data[0] & 1) != 0;
  options.stemLanguage = (data[0] & 2) != 0 ? "english" : "none";
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  sqlite3* db = Collection();
  const dizode::query::Plan plan = dizode::query::Compile(text, db, options);
  for (const dizode::query::Diagnostic& warning : plan.warnings) {
    CheckDiagnostic(warning, text.size());
  }
  if (plan.error) {
    CheckDiagnostic(*plan.error, text.size());
    return 0;
  }
  if (plan.matchesNothing) {
    return 0;
  }
  Run(db, plan.statement);
  if (plan.relaxed) {
    Run(db, *plan.relaxed);
  }
  return 0;
}
