// @brief The JSON bodies of the help server's search and status answers.
#pragma once

#include <cstddef>
#include <string>

#include "cli/serve/search_service.h"

namespace zvv {

// {"hits":[…],"total":N,"hidden":N} with at most `limit` rows (0: all), each
// row the object `zvv --json` prints; or {"error":…,"column":N} for a failure.
std::string SearchAnswerJson(const SearchAnswer& answer, std::size_t limit);

// {"pages":N,"updated":SECONDS,"folders":[…],"home":…}
std::string StatusJson(const IndexStatus& status);

}  // namespace zvv
