// @brief RAII owners for SQLite connections, statements and write transactions.
#include "sqlite_db.h"

#include "status.h"

namespace dizode {

Db::~Db() {
  if (m_db) sqlite3_close_v2(m_db);
}

Db& Db::operator=(Db&& other) noexcept {
  if (this != &other) {
    if (m_db) sqlite3_close_v2(m_db);
    m_db = other.m_db;
    other.m_db = nullptr;
  }
  return *this;
}

void Db::Exec(const char* sql, const char* context) const {
  CheckSqlite(m_db, sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr), context);
}

Stmt::Stmt(sqlite3* db, std::string_view sql) : m_db(db) {
  int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &m_stmt, nullptr);
  CheckSqlite(db, rc, "prepare");
}

Stmt::~Stmt() { sqlite3_finalize(m_stmt); }

Stmt& Stmt::Bind(int index, std::string_view text) {
  CheckSqlite(
      m_db,
      sqlite3_bind_text64(m_stmt, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8),
      "bind");
  return *this;
}

Stmt& Stmt::Bind(int index, int64_t value) {
  CheckSqlite(m_db, sqlite3_bind_int64(m_stmt, index, value), "bind");
  return *this;
}

Stmt& Stmt::BindBlob(int index, const void* data, int size) {
  CheckSqlite(m_db, sqlite3_bind_blob(m_stmt, index, data, size, SQLITE_TRANSIENT), "bind");
  return *this;
}

Stmt& Stmt::BindNull(int index) {
  CheckSqlite(m_db, sqlite3_bind_null(m_stmt, index), "bind");
  return *this;
}

bool Stmt::Step() {
  int rc = sqlite3_step(m_stmt);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  CheckSqlite(m_db, rc, "step");
  return false;
}

void Stmt::Run() {
  while (Step()) {
  }
  Reset();
}

void Stmt::Reset() {
  sqlite3_reset(m_stmt);
  sqlite3_clear_bindings(m_stmt);
}

std::string Stmt::Text(int column) const {
  const unsigned char* text = sqlite3_column_text(m_stmt, column);
  if (!text) return {};
  return std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(m_stmt, column));
}

Transaction::Transaction(const Db& db) : m_db(db) { m_db.Exec("BEGIN IMMEDIATE", "begin"); }

Transaction::~Transaction() {
  if (m_open) sqlite3_exec(m_db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::Commit() {
  m_db.Exec("COMMIT", "commit");
  m_open = false;
}

}  // namespace dizode
