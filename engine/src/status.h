// @brief The engine's one internal failure type and its conversions to toolkit statuses.
//
// Inside the engine a failure travels as a StatusError (a status of dizode.h plus a message in
// "context: detail" form); every exported operation converts it back to its status, so no
// exception ever leaves the library.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

struct sqlite3;

namespace dizode {

class [[nodiscard]] StatusError : public std::runtime_error {
 public:
  StatusError(int32_t status, const std::string& message, int32_t column = 0)
      : std::runtime_error(message), m_status(status), m_column(column) {}
  int32_t status() const { return m_status; }
  // A query error's 1-based character column in the query text; 0 for every other failure.
  int32_t column() const { return m_column; }

 private:
  int32_t m_status;
  int32_t m_column;
};

[[noreturn]] void Fail(int32_t status, const std::string& message);

// The toolkit status for an SQLite result code (busy, full disk, corruption, ...).
[[nodiscard]] int32_t StatusFromSqlite(int rc);

// Throws a StatusError for any rc other than SQLITE_OK, SQLITE_ROW and SQLITE_DONE, with
// the connection's own message after the context.
void CheckSqlite(sqlite3* db, int rc, const char* context);

}  // namespace dizode
