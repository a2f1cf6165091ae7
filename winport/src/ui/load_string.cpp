// @brief LoadStringA: a module's string table entry into the caller's buffer.
#include <algorithm>
#include <cstring>

#include "winport/api/errors.h"
#include "winport/api/resources.h"
#include "winport/src/ui/resource_registry.h"

int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
  if (lpBuffer == nullptr || cchBufferMax < 1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  lpBuffer[0] = '\0';
  const winport::StringResource* entry =
      winport::ui::FindStringResource(winport::ui::ResolveModule(hInstance), uID);
  if (entry == nullptr) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  // Windows truncates to the buffer and always terminates.
  std::size_t length =
      std::min(std::strlen(entry->m_text), static_cast<std::size_t>(cchBufferMax - 1));
  std::memcpy(lpBuffer, entry->m_text, length);
  lpBuffer[length] = '\0';
  return static_cast<int>(length);
}
