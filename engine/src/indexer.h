// @brief Submissions: adding, replacing and removing pages, each batch in one transaction.
//
// A batch either commits whole or leaves the collection as it was: a crash, a kill or a write
// failure part-way rolls everything back. A single unreadable page is not a failure: it is kept
// as a row without text (so listings still name it and a later change re-indexes it) and
// reported with a plain message.
#pragma once

#include <string>
#include <vector>

#include "progress.h"
#include "store.h"

namespace dizode {

// Extracts every page (in parallel) and writes it under its key, in key order.
void AddPages(Store& store, std::vector<std::string> keys, Progress& progress);

// Removes the pages with these keys; a key the collection does not hold is ignored.
void DeletePages(Store& store, std::vector<std::string> keys, Progress& progress);

// The title's words as searches see them, joined by spaces: the stable ordering key of equal
// scores, and what a query must equal for the exact-title bonus.
std::string TitleKey(std::string_view title);

}  // namespace dizode
