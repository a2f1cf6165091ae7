// @brief How one set of pages differs from another: what an update did, or what it would do.
#pragma once

#include <string>
#include <vector>

#include "cli/help_pages.h"

namespace zvv {

// Keys in key order.
struct PageChanges {
  std::vector<std::string> m_added;
  std::vector<std::string> m_changed;
  std::vector<std::string> m_removed;

  bool Any() const { return !m_added.empty() || !m_changed.empty() || !m_removed.empty(); }
};

// Pages only in `after` are added, pages only in `before` removed, and pages in both whose
// stamps differ changed; a page whose stamp is unknown on either side is taken as unchanged,
// as the component takes it.
PageChanges ComparePages(const PageStamps& before, const PageStamps& after);

}  // namespace zvv
