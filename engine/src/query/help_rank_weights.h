// The weight list help_rank takes alongside the MATCH text: one entry per phrase, in FTS5's
// phrase order, separated by commas. An entry is `W` or `W/G`: W a non-negative decimal weight
// (0 leaves the phrase unscored), G a non-negative integer word group shared by the alternatives
// of one typed word.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace dizode::query {

struct RankWeight {
  double weight = 1;
  // Listed groups are >= 0; a phrase without one gets -(phrase + 1), a group of its own.
  int64_t group = 0;
};

// Exactly `phraseCount` entries. Missing and malformed entries (and an empty list) give weight 1
// in a group of the phrase's own; entries beyond `phraseCount` are ignored. Blanks around the
// parts of an entry are allowed. Numbers are read the same way whatever the locale.
std::vector<RankWeight> ParseRankWeights(std::string_view list, int phraseCount);

}  // namespace dizode::query
