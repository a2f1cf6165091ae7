// @brief MultiByteToWideChar and WideCharToMultiByte between UTF-8 and UTF-16.
#include <algorithm>
#include <string>
#include <string_view>

#include "winport/api/errors.h"
#include "winport/api/text.h"
#include "utf/code_points.h"
#include "winport/src/system/errno_map.h"

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
  const utf::CodePoint first = utf::DecodeUtf8(given, 0);
  if (!first.valid) return out;
  out.clear();
  utf::AppendUtf8(out, first.value);
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

  const std::string_view bytes(lpMultiByteStr, static_cast<size_t>(cbMultiByte));
  size_t written = 0;
  auto put = [&](char16_t unit) {
    if (cchWideChar > 0 && written < static_cast<size_t>(cchWideChar))
      lpWideCharStr[written] = unit;
    ++written;
  };
  for (size_t pos = 0; pos < bytes.size();) {
    if (static_cast<unsigned char>(bytes[pos]) < 0x80) {  // ASCII, most of any text: as is
      put(static_cast<char16_t>(bytes[pos++]));
      continue;
    }
    const utf::CodePoint decoded = utf::DecodeUtf8(bytes, pos);
    pos += static_cast<size_t>(decoded.size);
    if (!decoded.valid && (dwFlags & MB_ERR_INVALID_CHARS)) {
      return Fail(ERROR_NO_UNICODE_TRANSLATION);
    }
    const char32_t code_point = decoded.value;  // U+FFFD for a malformed piece
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
  const std::u16string_view units(lpWideCharStr, static_cast<size_t>(cchWideChar));
  const size_t capacity = static_cast<size_t>(cbMultiByte);
  bool used_default = false;
  size_t written = 0;
  std::string piece;
  for (size_t pos = 0; pos < units.size();) {
    if (units[pos] < 0x80) {  // ASCII, most of any text: as is
      if (capacity > 0) {
        if (written + 1 > capacity) return Fail(ERROR_INSUFFICIENT_BUFFER);
        lpMultiByteStr[written] = static_cast<char>(units[pos]);
      }
      ++written;
      ++pos;
      continue;
    }
    const utf::CodePoint decoded = utf::DecodeUtf16(units, pos);
    pos += static_cast<size_t>(decoded.size);
    piece.clear();
    if (!decoded.valid) {
      if (dwFlags & WC_ERR_INVALID_CHARS) return Fail(ERROR_NO_UNICODE_TRANSLATION);
      piece = stand_in;
      if (!utf8) used_default = true;
    } else {
      utf::AppendUtf8(piece, decoded.value);
    }
    if (capacity > 0) {
      if (written + piece.size() > capacity) return Fail(ERROR_INSUFFICIENT_BUFFER);
      std::copy(piece.begin(), piece.end(), lpMultiByteStr + written);
    }
    written += piece.size();
  }
  if (lpUsedDefaultChar != nullptr) *lpUsedDefaultChar = used_default ? TRUE : FALSE;
  return static_cast<int>(written);
}
