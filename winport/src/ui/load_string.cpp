// @brief LoadStringA: a module's string table entry into the caller's buffer.
//
// A string table is stored in blocks of 16 strings: string `id` is string
// id % 16 of the block named (id / 16) + 1, and each string of a block is a
// count of UTF-16 units followed by the units. An empty string and a missing
// one look alike, and both load as nothing.
#include <algorithm>
#include <cstring>
#include <string>

#include "winport/api/errors.h"
#include "winport/api/resources.h"
#include "winport/src/ui/resource_registry.h"

namespace {

std::string StringOfBlock(const winport::ui::ResourceEntry& block, UINT index) {
  winport::ui::ResourceCursor in(block.m_data, block.m_size);
  for (UINT i = 0; i < index; ++i) in.Skip(2u * in.Word());
  return in.Units(in.Word());
}

}  // namespace

int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
  if (lpBuffer == nullptr || cchBufferMax < 1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  lpBuffer[0] = '\0';
  bool typeFound = false;
  const winport::ui::ResourceEntry* block =
      winport::ui::FindResourceEntry(winport::ui::ResolveModule(hInstance), RT_STRING,
                                     MAKEINTRESOURCEA((uID >> 4) + 1), &typeFound);
  std::string text = block != nullptr ? StringOfBlock(*block, uID & 15) : std::string();
  if (text.empty()) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  // Windows truncates to the buffer and always terminates.
  std::size_t length = std::min(text.size(), static_cast<std::size_t>(cchBufferMax - 1));
  std::memcpy(lpBuffer, text.data(), length);
  lpBuffer[length] = '\0';
  return static_cast<int>(length);
}
