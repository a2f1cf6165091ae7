#include "section_bounds.h"

#include <algorithm>

namespace dizode {
namespace {

void PutVarint(std::string& out, uint32_t value) {
  while (value >= 0x80) {
    out += static_cast<char>((value & 0x7F) | 0x80);
    value >>= 7;
  }
  out += static_cast<char>(value);
}

bool GetVarint(std::string_view& in, uint32_t& value) {
  value = 0;
  for (int shift = 0; shift < 35 && !in.empty(); shift += 7) {
    const auto byte = static_cast<unsigned char>(in.front());
    in.remove_prefix(1);
    value |= static_cast<uint32_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0) return true;
  }
  return false;
}

}  // namespace

std::string EncodeSections(const std::vector<SectionBounds>& sections) {
  std::string out;
  out.reserve(sections.size() * 4);
  uint32_t heads = 0;
  uint32_t body = 0;
  for (const SectionBounds& section : sections) {
    // Starts never go back; a start that did would be stored as no step.
    const uint32_t headsBegin = std::max(section.headsBegin, heads);
    const uint32_t headsEnd = std::max(section.headsEnd, headsBegin);
    const uint32_t bodyBegin = std::max(section.bodyBegin, body);
    PutVarint(out, headsBegin - heads);
    PutVarint(out, headsEnd - headsBegin);
    PutVarint(out, bodyBegin - body);
    heads = headsEnd;
    body = bodyBegin;
  }
  return out;
}

std::vector<SectionBounds> DecodeSections(std::string_view encoded) {
  std::vector<SectionBounds> out;
  uint32_t heads = 0;
  uint32_t body = 0;
  uint32_t step[3];
  while (GetVarint(encoded, step[0]) && GetVarint(encoded, step[1]) &&
         GetVarint(encoded, step[2])) {
    SectionBounds section;
    section.headsBegin = heads + step[0];
    section.headsEnd = section.headsBegin + step[1];
    section.bodyBegin = body + step[2];
    heads = section.headsEnd;
    body = section.bodyBegin;
    out.push_back(section);
  }
  return out;
}

}  // namespace dizode
