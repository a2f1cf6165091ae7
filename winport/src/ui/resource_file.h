// @brief The entries of a compiled resource file, the form in which the
// resource compiler hands a script's resources to the module that embeds them.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "winport/src/ui/resource_cursor.h"

namespace winport::ui {

// One resource; its data stays in the bytes the entry was read from.
struct ResourceEntry {
  ResourceName m_type;
  ResourceName m_name;
  const unsigned char* m_data = nullptr;
  DWORD m_size = 0;
};

// The entries in file order, without the empty entry that opens every file.
// Bytes that are not a whole resource file (an entry cut short, a header
// whose sizes do not add up) give nullopt, so that damaged bytes are refused
// as a whole instead of being half read.
std::optional<std::vector<ResourceEntry>> ReadResourceFile(const unsigned char* bytes,
                                                           std::size_t size);

}  // namespace winport::ui
