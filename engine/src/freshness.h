// @brief Finding the pages whose file changed since they were indexed.
//
// A page edited under the same name keeps its key, so nobody else notices the change; the
// full listing asks this before it answers. Only size and modification time are compared (one
// stat per page), which keeps the check cheap enough to run on every listing.
#pragma once

#include <string>
#include <vector>

#include "sqlite_db.h"

namespace dizode {

// Keys, in key order, of the pages whose file exists and differs in size or modification
// time from what was indexed. Pages whose file vanished are left to the caller's delete.
std::vector<std::string> ChangedPages(const Db& db);

}  // namespace dizode
