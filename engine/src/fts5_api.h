// Reaching SQLite's FTS5 extension interface, through which the engine adds its tokenizer and
// its ranking function to a connection.
#pragma once

#include <sqlite3.h>

namespace dizode {

// Sets `*api` to the connection's FTS5 interface; returns an SQLite result code.
int GetFts5Api(sqlite3* db, fts5_api** api);

}  // namespace dizode
