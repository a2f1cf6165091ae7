#include "query/rank_sections.h"

#include <algorithm>

namespace dizode::query {
namespace {

// The section a hit lies in, or bounds.size() + 1 for heading text that opens none (keywords).
size_t SectionOf(const std::vector<SectionBounds>& bounds, const SectionHit& hit) {
  if (hit.field == kBodyField) {
    const auto after = std::upper_bound(
        bounds.begin(), bounds.end(), hit.offset,
        [](uint32_t offset, const SectionBounds& section) { return offset < section.bodyBegin; });
    return static_cast<size_t>(after - bounds.begin());
  }
  const auto after = std::upper_bound(
      bounds.begin(), bounds.end(), hit.offset,
      [](uint32_t offset, const SectionBounds& section) { return offset < section.headsBegin; });
  if (after == bounds.begin()) return bounds.size() + 1;
  const SectionBounds& section = *(after - 1);
  return hit.offset < section.headsEnd ? static_cast<size_t>(after - bounds.begin())
                                       : bounds.size() + 1;
}

double SectionLength(const std::vector<SectionBounds>& bounds, uint32_t bodyLength, size_t index) {
  const uint32_t begin = index == 0 ? 0 : bounds[index - 1].bodyBegin;
  const uint32_t end = index < bounds.size() ? bounds[index].bodyBegin : bodyLength;
  const uint32_t heading =
      index == 0 ? 0 : bounds[index - 1].headsEnd - bounds[index - 1].headsBegin;
  return static_cast<double>(end > begin ? end - begin : 0) + heading;
}

}  // namespace

BestSection FindBestSection(const std::vector<SectionBounds>& bounds, uint32_t bodyLength,
                            std::vector<SectionHit>& hits, const std::vector<double>& groupIdf,
                            const RankParams& params) {
  BestSection best;
  if (hits.empty() || groupIdf.empty()) return best;
  std::vector<std::pair<size_t, size_t>> placed;  // (section, hit)
  placed.reserve(hits.size());
  for (size_t i = 0; i < hits.size(); ++i) {
    const size_t section = SectionOf(bounds, hits[i]);
    if (section <= bounds.size()) placed.emplace_back(section, i);
  }
  std::sort(placed.begin(), placed.end());
  std::vector<double> frequency(groupIdf.size());
  for (size_t at = 0; at < placed.size();) {
    const size_t section = placed[at].first;
    std::fill(frequency.begin(), frequency.end(), 0.0);
    for (; at < placed.size() && placed[at].first == section; ++at) {
      const SectionHit& hit = hits[placed[at].second];
      frequency[static_cast<size_t>(hit.group)] += hit.weight * params.fieldWeight[hit.field];
    }
    const double length = SectionLength(bounds, bodyLength, section);
    const double norm =
        1.0 - params.sectionB + params.sectionB * length / std::max(1.0, params.sectionLength);
    double score = 0;
    for (size_t g = 0; g < frequency.size(); ++g) {
      const double tf = frequency[g];
      if (tf > 0) score += groupIdf[g] * tf * (params.k1 + 1.0) / (tf + params.k1 * norm);
    }
    if (score > best.score) best = {section, score};
  }
  return best;
}

}  // namespace dizode::query
