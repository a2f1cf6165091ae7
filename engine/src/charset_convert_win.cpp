// @brief Charset conversion through the system's code pages: to UTF-16, then to UTF-8.
#include <windows.h>

#include "charset_convert.h"
#include "code_pages.h"

namespace dizode {

std::optional<std::string> ConvertToUtf8(std::string_view bytes, const std::string& charset) {
  const unsigned codePage = CodePageOf(charset);
  if (codePage == 0 || !IsValidCodePage(codePage)) return std::nullopt;
  std::string out;
  if (bytes.empty()) return out;
  // Converted in pieces so that the sizes stay within the converter's int; a piece that ends
  // inside a multi-byte character yields a replacement, which only pages over 64 MiB risk.
  constexpr size_t kPiece = size_t{1} << 26;
  for (size_t at = 0; at < bytes.size(); at += kPiece) {
    const std::string_view piece = bytes.substr(at, kPiece);
    // Without MB_ERR_INVALID_CHARS the converter puts a replacement character for each byte
    // it cannot read, as the iconv path does; some code pages refuse any flags.
    const int wideSize =
        MultiByteToWideChar(codePage, 0, piece.data(), static_cast<int>(piece.size()), nullptr, 0);
    if (wideSize <= 0) return std::nullopt;
    std::wstring wide(static_cast<size_t>(wideSize), L'\0');
    MultiByteToWideChar(codePage, 0, piece.data(), static_cast<int>(piece.size()), wide.data(),
                        wideSize);
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, nullptr, 0, nullptr, nullptr);
    const size_t start = out.size();
    out.resize(start + static_cast<size_t>(size));
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideSize, out.data() + start, size, nullptr,
                        nullptr);
  }
  return out;
}

}  // namespace dizode
