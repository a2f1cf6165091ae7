#include "fts5_api.h"

namespace dizode {

int GetFts5Api(sqlite3* db, fts5_api** api) {
  *api = nullptr;
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(db, "SELECT fts5(?1)", -1, &stmt, nullptr);
  if (rc != SQLITE_OK) {
    return rc;
  }
  sqlite3_bind_pointer(stmt, 1, static_cast<void*>(api), "fts5_api_ptr", nullptr);
  rc = sqlite3_step(stmt);
  sqlite3_finalize(stmt);
  if (rc != SQLITE_ROW) {
    return rc == SQLITE_DONE ? SQLITE_ERROR : rc;
  }
  return *api == nullptr ? SQLITE_ERROR : SQLITE_OK;
}

}  // namespace dizode
