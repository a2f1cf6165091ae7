// @brief Comparing two page listings.
#include "cli/index_changes.h"

namespace zvv {

PageChanges ComparePages(const PageStamps& before, const PageStamps& after) {
  PageChanges changes;
  auto old = before.begin();
  auto now = after.begin();
  // Both maps are in key order: one walk finds all three kinds.
  while (old != before.end() || now != after.end()) {
    if (now == after.end() || (old != before.end() && old->first < now->first)) {
      changes.m_removed.push_back((old++)->first);
    } else if (old == before.end() || now->first < old->first) {
      changes.m_added.push_back((now++)->first);
    } else {
      const bool known = old->second != kUnknownStamp && now->second != kUnknownStamp;
      if (known && old->second != now->second) changes.m_changed.push_back(now->first);
      ++old;
      ++now;
    }
  }
  return changes;
}

}  // namespace zvv
