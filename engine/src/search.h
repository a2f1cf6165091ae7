// @brief Running a search and materialising its hits (key, title, score text) in order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "progress.h"
#include "query/query.h"
#include "store.h"

namespace dizode {

struct Hit {
  std::string key;
  std::string title;
  std::string score;
};

struct SearchResult {
  std::vector<Hit> hits;
  int warningCount = 0;
};

// Every page in key order with score "0", after re-indexing the pages whose file changed.
SearchResult ListAll(Store& store, Progress& progress);

// A query in the engine's query language. Query errors fail with their TK_E_QUERY_* status;
// an empty query succeeds with no hits; a query past its time budget fails with TK_E_TIMEOUT.
// `options` other than the stem language, which is the collection's.
SearchResult RunQuery(Store& store, std::string_view text, query::Options options = {});

}  // namespace dizode
