// @brief Reading the page list while finding the pages whose file changed since indexing.
//
// A page edited under the same name keeps its key, so nobody else notices the change; the
// full listing asks this before it answers. Only size and modification time are compared (one
// stat per page), which keeps the check cheap enough to run on every listing.
#pragma once

#include <string>
#include <vector>

#include "sqlite_db.h"

namespace dizode {

struct IndexedPage {
  std::string key;
  std::string title;
};

// Every page in key order. With `changed`, also collects (in key order) the keys of pages whose
// file exists and differs in size or modification time from what was indexed; pages whose
// file vanished are left to the caller's delete.
std::vector<IndexedPage> ScanPages(const Db& db, std::vector<std::string>* changed);

}  // namespace dizode
