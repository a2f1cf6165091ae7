// @brief Reading a compiled resource file.
//
// Each entry is a header (data size, header size, type, name, then data
// version, memory flags, language, version and characteristics) followed by
// its data, and each header and each data block starts on a four-byte
// boundary. Language and flags are not kept: a module carries one language,
// and lookups go by type and name.
#include "winport/src/ui/resource_file.h"

namespace winport::ui {
namespace {

// Data version, memory flags, language, version, characteristics.
constexpr std::size_t kHeaderTail = 4 + 2 + 2 + 4 + 4;

}  // namespace

std::optional<std::vector<ResourceEntry>> ReadResourceFile(const unsigned char* bytes,
                                                           std::size_t size) {
  std::vector<ResourceEntry> entries;
  ResourceCursor file(bytes, size);
  while (file.Offset() < size) {
    std::size_t start = file.Offset();
    ResourceCursor header(file.Here(), size - start);
    DWORD dataSize = header.Dword();
    DWORD headerSize = header.Dword();
    ResourceEntry entry{header.NameOrId(), header.NameOrId()};
    header.AlignToDword();
    header.Skip(kHeaderTail);
    if (!header.Ok() || headerSize < header.Offset()) return std::nullopt;
    file.Skip(headerSize);
    entry.m_data = file.Here();
    entry.m_size = dataSize;
    file.Skip(dataSize);
    // The last entry may end the file without padding.
    if (file.Ok() && file.Offset() < size) file.AlignToDword();
    if (!file.Ok()) return std::nullopt;
    bool empty = entry.m_type.m_text.empty() && entry.m_type.m_id == 0;
    if (!empty) entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace winport::ui
