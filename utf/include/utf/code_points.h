// @brief UTF-8 and UTF-16 code points, one at a time: the one decoder that the engine and the
// platform layer share, so that a page, a query and a converted string read malformed bytes
// alike.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace utf {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

struct CodePoint {
  char32_t value;  // U+FFFD for a malformed piece
  int size;        // code units read, at least 1
  bool valid;      // false for a malformed piece, which a real U+FFFD is not
};

// The code point at text[offset]. A malformed piece (stray continuation byte, overlong form,
// surrogate, beyond U+10FFFF, cut short) reads as far as its longest prefix that could still
// have begun a valid sequence, so each piece becomes one U+FFFD: the rule Unicode recommends
// and the one the system's own conversions follow.
inline CodePoint DecodeUtf8(std::string_view text, size_t offset) {
  constexpr CodePoint kMalformed{kReplacementCharacter, 1, false};
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(offset);
  if (lead < 0x80) return {lead, 1, true};
  int continuation = 0;
  char32_t value = 0;
  // The second byte's range excludes overlong forms, surrogates and code points beyond U+10FFFF.
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    continuation = 1, value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    continuation = 2, value = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    continuation = 3, value = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return kMalformed;
  }
  for (int i = 1; i <= continuation; ++i) {
    const size_t at = offset + static_cast<size_t>(i);
    if (at >= text.size() || byte(at) < low || byte(at) > high)
      return {kReplacementCharacter, i, false};
    value = (value << 6) | (byte(at) & 0x3F);
    low = 0x80, high = 0xBF;
  }
  return {value, continuation + 1, true};
}

// The code point at text[offset]; an unpaired surrogate is a malformed piece of one unit.
inline CodePoint DecodeUtf16(std::u16string_view text, size_t offset) {
  const char16_t unit = text[offset];
  if (unit < 0xD800 || unit > 0xDFFF) return {unit, 1, true};
  if (unit <= 0xDBFF && offset + 1 < text.size() && text[offset + 1] >= 0xDC00 &&
      text[offset + 1] <= 0xDFFF) {
    return {0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[offset + 1] - 0xDC00),
            2, true};
  }
  return {kReplacementCharacter, 1, false};
}

// Appends the UTF-8 form of a valid code point.
inline void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace utf
