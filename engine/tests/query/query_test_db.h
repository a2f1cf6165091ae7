// An in-memory collection with the engine's schema, for running compiled queries in tests.
// Header-only: the test build compiles only the *_test.cpp files.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "indexer.h"
#include "query/query.h"
#include "query/ranking.h"
#include "store.h"

namespace dizode::query::testing {

struct TestPage {
  std::string key;
  std::string title;
  std::string heads;
  std::string body;
};

struct Row {
  std::string key;
  std::string title;
  int score;
};

class TestDb {
 public:
  explicit TestDb(const std::vector<TestPage>& pages);
  ~TestDb();
  TestDb(const TestDb&) = delete;
  TestDb& operator=(const TestDb&) = delete;

  sqlite3* handle() const { return m_db; }

  // Runs one statement and ranks its rows as the store does; returns false (with the SQLite
  // message) when SQLite rejects it.
  bool Run(const Statement& statement, std::vector<Row>& rows, std::string& error) const;

  // Runs a plan as the store does: nothing for errors and matchesNothing, the relaxed statement
  // when the first yields no row. `relaxedUsed` tells which one produced the rows.
  std::vector<Row> Search(const Plan& plan, bool* relaxedUsed = nullptr) const;

  // Compiles `query` against this database and returns the keys it finds, in order.
  std::vector<std::string> Keys(const std::string& query) const;

 private:
  void Exec(const std::string& sql) const;
  sqlite3* m_db = nullptr;
};

inline TestDb::TestDb(const std::vector<TestPage>& pages) {
  if (sqlite3_open(":memory:", &m_db) != SQLITE_OK) {
    ADD_FAILURE() << "cannot open an in-memory database";
    return;
  }
  PrepareConnection(m_db);
  Exec(SchemaSql("english"));
  sqlite3_stmt* page = nullptr;
  sqlite3_stmt* text = nullptr;
  sqlite3_prepare_v2(m_db, "INSERT INTO pages(key, title, titlekey) VALUES(?1, ?2, ?3)", -1, &page,
                     nullptr);
  sqlite3_prepare_v2(m_db, "INSERT INTO fts(rowid, title, heads, body) VALUES(?1, ?2, ?3, ?4)", -1,
                     &text, nullptr);
  for (const TestPage& p : pages) {
    sqlite3_bind_text(page, 1, p.key.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(page, 2, p.title.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(page, 3, TitleKey(p.title).c_str(), -1, SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(page), SQLITE_DONE);
    sqlite3_reset(page);
    sqlite3_bind_int64(text, 1, sqlite3_last_insert_rowid(m_db));
    sqlite3_bind_text(text, 2, p.title.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(text, 3, p.heads.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(text, 4, p.body.c_str(), -1, SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(text), SQLITE_DONE);
    sqlite3_reset(text);
  }
  sqlite3_finalize(page);
  sqlite3_finalize(text);
}

inline TestDb::~TestDb() { sqlite3_close(m_db); }

inline void TestDb::Exec(const std::string& sql) const {
  char* message = nullptr;
  if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    ADD_FAILURE() << (message ? message : "sqlite3_exec failed");
  }
  sqlite3_free(message);
}

inline bool TestDb::Run(const Statement& statement, std::vector<Row>& rows,
                        std::string& error) const {
  rows.clear();
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(m_db, statement.sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    error = sqlite3_errmsg(m_db);
    sqlite3_finalize(stmt);
    return false;
  }
  for (size_t i = 0; i < statement.params.size(); ++i) {
    sqlite3_bind_text(stmt, static_cast<int>(i + 1), statement.params[i].c_str(), -1,
                      SQLITE_TRANSIENT);
  }
  std::vector<RankedRow> found;
  int rc = SQLITE_ROW;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    const bool scored = sqlite3_column_type(stmt, 3) != SQLITE_NULL;
    found.push_back({reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)),
                     reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)),
                     reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2)),
                     sqlite3_column_double(stmt, 3), scored});
  }
  const bool ok = rc == SQLITE_DONE;
  if (!ok) {
    error = sqlite3_errmsg(m_db);
  }
  sqlite3_finalize(stmt);
  for (size_t i : Rank(found)) {
    rows.push_back({found[i].key, found[i].title, static_cast<int>(found[i].score)});
  }
  return ok;
}

inline std::vector<Row> TestDb::Search(const Plan& plan, bool* relaxedUsed) const {
  if (relaxedUsed) {
    *relaxedUsed = false;
  }
  std::vector<Row> rows;
  if (plan.error || plan.matchesNothing) {
    return rows;
  }
  std::string error;
  EXPECT_TRUE(Run(plan.statement, rows, error)) << error << "\n" << plan.statement.sql;
  if (rows.empty() && plan.relaxed) {
    EXPECT_TRUE(Run(*plan.relaxed, rows, error)) << error;
    if (relaxedUsed) {
      *relaxedUsed = true;
    }
  }
  return rows;
}

inline std::vector<std::string> TestDb::Keys(const std::string& query) const {
  const Plan plan = Compile(query, m_db);
  EXPECT_FALSE(plan.error) << query << ": " << CodeName(plan.error->code);
  std::vector<std::string> keys;
  for (const Row& row : Search(plan)) {
    keys.push_back(row.key);
  }
  return keys;
}

}  // namespace dizode::query::testing
