// @brief FormatMessageA for system error codes.
#include <cstring>
#include <string>

#include "winport/api/errors.h"
#include "winport/src/system/errno_map.h"

namespace {

// An HRESULT that wraps a Windows error code names that code's text.
DWORD UnwrapWin32(DWORD id) {
  if ((id & 0xFFFF0000u) == static_cast<DWORD>(HRESULT_FROM_WIN32(1) & 0xFFFF0000)) {
    return id & 0xFFFFu;
  }
  return id;
}

// strerror_r has two signatures; both are handled by overloading on the result.
[[maybe_unused]] const char* StrerrorResult(int result, const char* buffer) {
  return result == 0 ? buffer : nullptr;
}
[[maybe_unused]] const char* StrerrorResult(const char* result, const char*) { return result; }

bool ErrnoText(DWORD id, std::string& text) {
  const int error_number = winport::detail::ErrnoFromWin32Error(UnwrapWin32(id));
  if (error_number < 0) return false;
  char buffer[256] = {};
  const char* message = StrerrorResult(strerror_r(error_number, buffer, sizeof buffer), buffer);
  if (message == nullptr || *message == '\0') return false;
  text = message;
  return true;
}

// The system's own text for an error number first; an HRESULT it has none for
// gets the text of winport's table.
bool SystemText(DWORD id, std::string& text) {
  if (ErrnoText(id, text)) return true;
  const WinportHresultText* known = WinportFindHresult(static_cast<HRESULT>(id));
  if (known == nullptr) return false;
  text = known->text;
  return true;
}

}  // namespace

// Only FORMAT_MESSAGE_FROM_SYSTEM is offered: message tables in modules and
// format strings are not used on POSIX (ERROR_NOT_SUPPORTED). The text is the
// POSIX system's own for the matching errno, or for an HRESULT without one the
// text of WinportFindHresult, ended by "\r\n" as every Windows
// system text is, unless the width mask asks for no line breaks (0xFF). Other
// line widths are not applied. System texts carry no inserts, so
// FORMAT_MESSAGE_IGNORE_INSERTS changes nothing. The system has one language
// of texts, so every language id is accepted.
DWORD FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId,
                     LPSTR lpBuffer, DWORD nSize, va_list* Arguments) {
  if ((dwFlags & (FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_FROM_HMODULE)) != 0 ||
      (dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) == 0) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return 0;
  }
  if (lpBuffer == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string text;
  if (!SystemText(dwMessageId, text)) {
    SetLastError(ERROR_MR_MID_NOT_FOUND);
    return 0;
  }
  if ((dwFlags & FORMAT_MESSAGE_MAX_WIDTH_MASK) != FORMAT_MESSAGE_MAX_WIDTH_MASK) text += "\r\n";
  const DWORD length = static_cast<DWORD>(text.size());

  if (dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
    // nSize is then the least number of bytes to allocate.
    const SIZE_T bytes = length + 1 > nSize ? length + 1 : nSize;
    char* block = static_cast<char*>(LocalAlloc(LMEM_FIXED, bytes));
    if (block == nullptr) return 0;
    std::memcpy(block, text.c_str(), length + 1);
    *reinterpret_cast<LPSTR*>(lpBuffer) = block;
    return length;
  }
  if (nSize < length + 1) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(lpBuffer, text.c_str(), length + 1);
  return length;
}
