// @brief Status texts and the single conversion point from SQLite result codes.
#include "status.h"

#include <sqlite3.h>

#include "dizode/dizode.h"

namespace dizode {

void Fail(int32_t status, const std::string& message) { throw StatusError(status, message); }

int32_t StatusFromSqlite(int rc) {
  switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return TK_OK;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return TK_E_BUSY;
    case SQLITE_NOMEM:
      return TK_E_NO_MEMORY;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_SCHEMA:
      return TK_E_CORRUPT;
    case SQLITE_IOERR:
    case SQLITE_FULL:
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_PROTOCOL:
      return TK_E_IO;
    case SQLITE_INTERRUPT:
      return TK_E_TIMEOUT;
    default:
      return TK_E_INTERNAL;
  }
}

void CheckSqlite(sqlite3* db, int rc, const char* context) {
  if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE) return;
  std::string message = context;
  message += ": ";
  // Only a query's time budget interrupts a statement; SQLite's own word for it says nothing.
  if ((rc & 0xFF) == SQLITE_INTERRUPT)
    message += "the query ran out of time";
  else
    message += db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  Fail(StatusFromSqlite(rc), message);
}

}  // namespace dizode

extern "C" TK_API const char* TkStatusText(int32_t status) {
  switch (status) {
    case TK_OK:
      return "success";
    case TK_E_BAD_ARGUMENT:
      return "a null pointer or an out-of-range value";
    case TK_E_BAD_RECORD:
      return "the record's size or version is wrong";
    case TK_E_BAD_HANDLE:
      return "the handle is stale, foreign or already freed";
    case TK_E_NO_COLLECTION:
      return "there is no collection at the path";
    case TK_E_CORRUPT:
      return "the collection's files are not usable";
    case TK_E_IO:
      return "the file system refused a read or write";
    case TK_E_BUSY:
      return "another process held the collection too long";
    case TK_E_NO_MEMORY:
      return "out of memory";
    case TK_E_INTERNAL:
      return "unexpected database or library failure";
    case TK_E_TIMEOUT:
      return "the query exceeded its time budget";
    case TK_E_NOT_OPEN:
      return "the session has no open collection";
    case TK_E_BAD_MODE:
      return "unknown collection mode or request code";
    case TK_E_BAD_OPERATION:
      return "unknown submission operation";
    case TK_E_CREATE_FAILED:
      return "the collection folder cannot be made";
    case TK_E_READ_ONLY:
      return "the collection is read-only: updates are refused";
    case TK_E_QUERY_UNKNOWN_OPERATOR:
      return "query: unknown operator";
    case TK_E_QUERY_BAD_OPERATOR_ARGUMENT:
      return "query: bad operator argument";
    case TK_E_QUERY_MISSING_OPERAND:
      return "query: missing operand";
    case TK_E_QUERY_UNKNOWN_FIELD:
      return "query: unknown field";
    case TK_E_QUERY_MISSING_FIELD:
      return "query: missing field";
    case TK_E_QUERY_FIELD_CONFLICT:
      return "query: conflicting field restrictions";
    case TK_E_QUERY_NEAR_OPERAND:
      return "query: invalid NEAR operand";
    case TK_E_QUERY_TOO_COMPLEX:
      return "query: too complex";
    case TK_E_QUERY_INTERNAL:
      return "query: internal error";
    default:
      return "unknown status";
  }
}
