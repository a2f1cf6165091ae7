// @brief Where byte offsets of a text fall among its index positions.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "text/analysis.h"
#include "text/prepared_tokens.h"

namespace dizode::text {

// For each of `offsets` (ascending byte offsets into `text`), the index position of the first
// token that starts at or after it: the number of positions taken by tokens that start before.
// Reads `tokens` when they were prepared for this text, else analyses the text in `scratch`.
std::vector<uint32_t> PositionsAt(std::string_view text, const PreparedTokens& tokens,
                                  const std::vector<uint32_t>& offsets, Analysis& scratch);

}  // namespace dizode::text
