// Expanding wildcard patterns against the index vocabulary.
#pragma once

#include <string>

#include "query/translator.h"

struct sqlite3;

namespace dizode::query {

// The vocabulary terms matching a GLOB pattern, most widely used first, at most kMaxExpansion
// (truncated is set when there were more). A null connection has no vocabulary: no terms.
Expansion ExpandPattern(sqlite3* db, const std::string& pattern);

}  // namespace dizode::query
