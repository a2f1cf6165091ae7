// @brief Where a page's sections lie among its index positions, and how that is stored.
//
// A section is the part of a page that a heading opens: its heading text at positions
// [headsBegin, headsEnd) of the headings field (empty for h4 to h6, whose text stays in the
// body), and its text from position bodyBegin of the body up to the next section's. The text
// before the first heading, the page's top, is not listed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dizode {

struct SectionBounds {
  uint32_t headsBegin = 0;
  uint32_t headsEnd = 0;
  uint32_t bodyBegin = 0;
  bool operator==(const SectionBounds&) const = default;
};

// A compact form for the pages table: variable-length integers, each start as a step from the
// one before. Decoding gives back the list; a damaged value decodes to as much as it can
// (never more than it holds).
std::string EncodeSections(const std::vector<SectionBounds>& sections);
std::vector<SectionBounds> DecodeSections(std::string_view encoded);

}  // namespace dizode
