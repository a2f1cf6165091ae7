// @brief How zvv prints the hits of one query: a table or JSON lines.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

#include "cli/hit.h"

namespace zvv {

struct OutputStyle {
  bool m_json = false;
  bool m_colour = false;
  // Width to fit the table into; 0 prints every title in full.
  std::size_t m_columns = 0;
  // Hits printed; 0 prints them all.
  std::size_t m_limit = 0;
};

// What the --dir filters took away from an answer.
struct DirFilter {
  std::vector<std::string> m_dirs;
  std::size_t m_hidden = 0;
};

// Prints up to the limit of `hits`, best first as given, and (not in JSON)
// a summary line such as "12 of 30 hits shown", "No pages match" or, when the
// filters hid every hit, AllHiddenSummary.
void PrintHits(std::ostream& out, const std::vector<Hit>& hits, const OutputStyle& style,
               const DirFilter& filter = {});

// "3 hits, all outside --dir guide/": why an answer that found pages shows none.
std::string AllHiddenSummary(const DirFilter& filter);

}  // namespace zvv
