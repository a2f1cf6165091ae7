// @brief MultiByteToWideChar and WideCharToMultiByte between UTF-8 and UTF-16.
#include <cstring>
#include <string>

#include "winport/api/errors.h"
#include "winport/api/text.h"
#include "winport/src/system/errno_map.h"
#include "winport/src/system/utf8.h"

namespace winport::detail {
namespace {

bool IsNarrowSystemCodePage(UINT code_page) { return code_page == CP_ACP || code_page == CP_OEMCP; }

// Checks the arguments every conversion shares; sets the last error and
// returns false when they are wrong. A length of -1 becomes the length up to
// and including the terminator.
template <class Char>
bool CheckLengths(const Char* source, int& source_length, const void* target, int target_length) {
  if (source == nullptr || source_length == 0 || source_length < -1 || target_length < 0 ||
      (target_length > 0 && target == nullptr)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  if (source_length == -1) {
    source_length = 0;
    while (source[source_length] != 0) ++source_length;
    ++source_length;
  }
  return true;
}

// The default character's UTF-8 form: its first character, or "?".
std::string DefaultCharacter(LPCSTR given) {
  std::string out = "?";
  if (given == nullptr || *given == '\0') return out;
  const auto* bytes = reinterpret_cast<const unsigned char*>(given);
  size_t pos = 0;
  const char32_t code_point = DecodeUtf8(bytes, std::strlen(given), pos);
  if (code_point == kInvalidCodePoint) return out;
  out.clear();
  AppendUtf8(code_point, out);
  return out;
}

}  // namespace
}  // namespace winport::detail

// CP_ACP and CP_OEMCP are UTF-8, like CP_UTF8; other code pages fail with
// ERROR_INVALID_PARAMETER. Malformed UTF-8 becomes U+FFFD, once per malformed
// piece, or fails with ERROR_NO_UNICODE_TRANSLATION under MB_ERR_INVALID_CHARS.
// MB_PRECOMPOSED, MB_COMPOSITE and MB_USEGLYPHCHARS are accepted for the
// narrow system code pages and change nothing: text is not normalised.
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar) {
  using namespace winport::detail;
  constexpr DWORD kNarrowFlags =
      MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS;
  if (CodePage != CP_UTF8 && !IsNarrowSystemCodePage(CodePage))
    return Fail(ERROR_INVALID_PARAMETER);
  const DWORD allowed = CodePage == CP_UTF8 ? MB_ERR_INVALID_CHARS : kNarrowFlags;
  if ((dwFlags & ~allowed) != 0 ||
      (dwFlags & (MB_PRECOMPOSED | MB_COMPOSITE)) == (MB_PRECOMPOSED | MB_COMPOSITE)) {
    return Fail(ERROR_INVALID_FLAGS);
  }
  if (!CheckLengths(lpMultiByteStr, cbMultiByte, lpWideCharStr, cchWideChar)) return 0;

  const auto* bytes = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
  const size_t size = static_cast<size_t>(cbMultiByte);
  size_t written = 0;
  auto put = [&](char16_t unit) {
    if (cchWideChar > 0 && written < static_cast<size_t>(cchWideChar))
      lpWideCharStr[written] = unit;
    ++written;
  };
  for (size_t pos = 0; pos < size;) {
    char32_t code_point = DecodeUtf8(bytes, size, pos);
    if (code_point == kInvalidCodePoint) {
      if (dwFlags & MB_ERR_INVALID_CHARS) return Fail(ERROR_NO_UNICODE_TRANSLATION);
      code_point = kReplacementCharacter;
    }
    if (code_point >= 0x10000) {
      put(static_cast<char16_t>(0xD800 + ((code_point - 0x10000) >> 10)));
      put(static_cast<char16_t>(0xDC00 + ((code_point - 0x10000) & 0x3FF)));
    } else {
      put(static_cast<char16_t>(code_point));
    }
  }
  if (cchWideChar > 0 && written > static_cast<size_t>(cchWideChar)) {
    return Fail(ERROR_INSUFFICIENT_BUFFER);
  }
  return static_cast<int>(written);
}

// For the narrow system code pages (UTF-8 here) every character can be
// written, so the default character stands in only for unpaired surrogates;
// WC_COMPOSITECHECK, WC_DISCARDNS, WC_SEPCHARS, WC_DEFAULTCHAR and
// WC_NO_BEST_FIT_CHARS are accepted and change nothing, because there are no
// precomposed forms to fall back to. For CP_UTF8, as on Windows, only
// WC_ERR_INVALID_CHARS is allowed (ERROR_INVALID_FLAGS), the default character
// arguments must be NULL (ERROR_INVALID_PARAMETER), and an unpaired surrogate
// becomes U+FFFD or, under WC_ERR_INVALID_CHARS, fails with
// ERROR_NO_UNICODE_TRANSLATION. A character that does not fit whole fails the
// call with ERROR_INSUFFICIENT_BUFFER; nothing is written past the buffer.
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        LPBOOL lpUsedDefaultChar) {
  using namespace winport::detail;
  constexpr DWORD kNarrowFlags =
      WC_COMPOSITECHECK | WC_DISCARDNS | WC_SEPCHARS | WC_DEFAULTCHAR | WC_NO_BEST_FIT_CHARS;
  const bool utf8 = CodePage == CP_UTF8;
  if (!utf8 && !IsNarrowSystemCodePage(CodePage)) return Fail(ERROR_INVALID_PARAMETER);
  if ((dwFlags & ~(utf8 ? WC_ERR_INVALID_CHARS : kNarrowFlags)) != 0) {
    return Fail(ERROR_INVALID_FLAGS);
  }
  if (utf8 && (lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr)) {
    return Fail(ERROR_INVALID_PARAMETER);
  }
  if (!CheckLengths(lpWideCharStr, cchWideChar, lpMultiByteStr, cbMultiByte)) return 0;

  const std::string stand_in = utf8 ? std::string("\xEF\xBF\xBD") : DefaultCharacter(lpDefaultChar);
  const size_t size = static_cast<size_t>(cchWideChar);
  const size_t capacity = static_cast<size_t>(cbMultiByte);
  bool used_default = false;
  size_t written = 0;
  std::string piece;
  for (size_t pos = 0; pos < size;) {
    const char32_t code_point = DecodeUtf16(lpWideCharStr, size, pos);
    piece.clear();
    if (code_point == kInvalidCodePoint) {
      if (dwFlags & WC_ERR_INVALID_CHARS) return Fail(ERROR_NO_UNICODE_TRANSLATION);
      piece = stand_in;
      if (!utf8) used_default = true;
    } else {
      AppendUtf8(code_point, piece);
    }
    if (capacity > 0) {
      if (written + piece.size() > capacity) return Fail(ERROR_INSUFFICIENT_BUFFER);
      std::memcpy(lpMultiByteStr + written, piece.data(), piece.size());
    }
    written += piece.size();
  }
  if (lpUsedDefaultChar != nullptr) *lpUsedDefaultChar = used_default ? TRUE : FALSE;
  return static_cast<int>(written);
}
