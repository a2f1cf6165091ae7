#include "query/help_rank_weights.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace dizode::query {
namespace {

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && blank(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

// Parses all of `text` into `out`, or returns false and leaves `out` alone.
template <typename Number>
bool ParseWhole(std::string_view text, Number& out) {
  text = Trim(text);
  if (text.empty()) {
    return false;
  }
  Number value{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end) {
    return false;
  }
  out = value;
  return true;
}

// Reads one entry into `out`, leaving `out` alone when the entry is malformed.
void ParseEntry(std::string_view entry, RankWeight& out) {
  const size_t slash = entry.find('/');
  double weight = 0;
  if (!ParseWhole(entry.substr(0, slash), weight) || !std::isfinite(weight) || weight < 0) {
    return;
  }
  uint32_t group = 0;  // unsigned, so a sign is malformed
  const bool grouped = slash != std::string_view::npos;
  if (grouped && !ParseWhole(entry.substr(slash + 1), group)) {
    return;
  }
  out.weight = weight;
  if (grouped) {
    out.group = group;
  }
}

}  // namespace

std::vector<RankWeight> ParseRankWeights(std::string_view list, int phraseCount) {
  std::vector<RankWeight> phrases(phraseCount > 0 ? phraseCount : 0);
  for (size_t p = 0; p < phrases.size(); ++p) {
    phrases[p].group = -static_cast<int64_t>(p) - 1;
  }
  size_t start = 0;
  for (size_t p = 0; p < phrases.size() && start <= list.size() && !list.empty(); ++p) {
    const size_t comma = std::min(list.find(',', start), list.size());
    ParseEntry(list.substr(start, comma - start), phrases[p]);
    start = comma + 1;
  }
  return phrases;
}

}  // namespace dizode::query
