// @brief The best heading-bounded section of a page for a query.
#pragma once

#include <cstdint>
#include <vector>

#include "query/help_rank.h"
#include "section_bounds.h"

namespace dizode::query {

// One occurrence of a scored phrase in the headings or the body.
struct SectionHit {
  RankField field;  // kHeadsField or kBodyField
  uint32_t offset;
  int group;      // dense, below the size of the group idf list
  double weight;  // the phrase's weight
};

struct BestSection {
  size_t index = 0;  // 0: the page's top, before its first heading; i: the section of bounds[i - 1]
  double score = 0;
};

// Scores every section with hits as a document of its own (its heading and its text), with
// BM25 over the section's length, and returns the best; the top when no section has a hit.
// `bodyLength` is the body's length in positions; `hits` in any order.
BestSection FindBestSection(const std::vector<SectionBounds>& bounds, uint32_t bodyLength,
                            std::vector<SectionHit>& hits, const std::vector<double>& groupIdf,
                            const RankParams& params);

}  // namespace dizode::query
