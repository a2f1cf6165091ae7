// @brief Reading compiled resource data.
#include "winport/src/ui/resource_cursor.h"

#include "winport/api/text.h"

namespace winport::ui {

bool ResourceCursor::Take(std::size_t count) {
  if (!m_ok || count > m_size - m_offset) {
    m_ok = false;
    return false;
  }
  m_offset += count;
  return true;
}

BYTE ResourceCursor::Byte() { return Take(1) ? m_data[m_offset - 1] : 0; }

WORD ResourceCursor::Word() {
  if (!Take(2)) return 0;
  const unsigned char* at = m_data + m_offset - 2;
  return static_cast<WORD>(at[0] | at[1] << 8);
}

DWORD ResourceCursor::Dword() {
  DWORD low = Word();
  return low | static_cast<DWORD>(Word()) << 16;
}

void ResourceCursor::Skip(std::size_t count) { Take(count); }

std::string ResourceCursor::Units(std::size_t count) {
  std::u16string units;
  for (std::size_t i = 0; i < count && m_ok; ++i) units.push_back(static_cast<char16_t>(Word()));
  if (units.empty()) return {};
  int length = static_cast<int>(units.size());
  int needed = WideCharToMultiByte(CP_UTF8, 0, units.data(), length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(CP_UTF8, 0, units.data(), length, text.data(), needed, nullptr, nullptr);
  return text;
}

std::string ResourceCursor::Text() {
  std::size_t start = m_offset;
  std::size_t count = 0;
  while (Word() != 0 && m_ok) ++count;
  if (!m_ok) return {};
  ResourceCursor units(m_data + start, count * 2);
  return units.Units(count);
}

ResourceName ResourceCursor::NameOrId() {
  if (m_ok && m_size - m_offset >= 2 && m_data[m_offset] == 0xFF && m_data[m_offset + 1] == 0xFF) {
    Skip(2);
    return ResourceName{Word(), {}};
  }
  return ResourceName{0, Text()};
}

}  // namespace winport::ui
