// @brief Thin RAII owners for an SQLite connection and its prepared statements.
//
// Every failure becomes a StatusError (see status.h), so callers write straight-line code and
// the transaction owner (Transaction) rolls back whatever is left unfinished.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace dizode {

class Db {
 public:
  Db() = default;
  explicit Db(sqlite3* db) : m_db(db) {}
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;
  Db(Db&& other) noexcept : m_db(other.m_db) { other.m_db = nullptr; }
  Db& operator=(Db&& other) noexcept;
  ~Db();

  sqlite3* get() const { return m_db; }
  // Runs one or more statements that return no rows.
  void Exec(const char* sql, const char* context) const;

 private:
  sqlite3* m_db = nullptr;
};

class Stmt {
 public:
  Stmt(sqlite3* db, std::string_view sql);
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;
  ~Stmt();

  Stmt& Bind(int index, std::string_view text);
  Stmt& Bind(int index, int64_t value);
  Stmt& BindBlob(int index, const void* data, int size);
  Stmt& BindNull(int index);
  // Steps once: true while a row is available, false when done.
  bool Step();
  // Steps to completion of a statement that returns no rows.
  void Run();
  void Reset();

  int64_t Int(int column) const { return sqlite3_column_int64(m_stmt, column); }
  bool IsNull(int column) const { return sqlite3_column_type(m_stmt, column) == SQLITE_NULL; }
  std::string Text(int column) const;
  sqlite3_stmt* get() const { return m_stmt; }

 private:
  sqlite3* m_db;
  sqlite3_stmt* m_stmt = nullptr;
};

// BEGIN IMMEDIATE on construction; rolls back on destruction unless committed.
class Transaction {
 public:
  explicit Transaction(const Db& db);
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  ~Transaction();
  void Commit();

 private:
  const Db& m_db;
  bool m_open = true;
};

}  // namespace dizode
