// @brief Reading compiled resource data: little-endian numbers, UTF-16 texts
// and the "16-bit id or text" fields of resource headers and dialog
// templates.
#pragma once

#include <cstddef>
#include <string>

#include "winport/api/base.h"

namespace winport::ui {

// A resource's type or name, or a dialog's class or title: a 16-bit id, or
// (when m_text is not empty) a text.
struct ResourceName {
  WORD m_id = 0;
  std::string m_text;
};

// Reads forward through a block of bytes. A read past the end yields zeros and
// marks the cursor failed for good, so callers check Ok() once at the end of
// a structure rather than after every field.
class ResourceCursor {
 public:
  ResourceCursor(const unsigned char* data, std::size_t size) : m_data(data), m_size(size) {}

  bool Ok() const { return m_ok; }
  std::size_t Offset() const { return m_offset; }
  const unsigned char* Here() const { return m_data + m_offset; }

  BYTE Byte();
  WORD Word();
  DWORD Dword();
  short Short() { return static_cast<short>(Word()); }
  void Skip(std::size_t count);
  // Moves to the next multiple of four bytes from the start of the block.
  void AlignToDword() { Skip((4 - m_offset % 4) % 4); }

  // `count` UTF-16 units, as UTF-8.
  std::string Units(std::size_t count);
  // A text ended by a zero unit, as UTF-8.
  std::string Text();
  // 0xFFFF and an id, or a text (a lone zero unit is an empty text).
  ResourceName NameOrId();

 private:
  bool Take(std::size_t count);

  const unsigned char* m_data;
  std::size_t m_size;
  std::size_t m_offset = 0;
  bool m_ok = true;
};

}  // namespace winport::ui
