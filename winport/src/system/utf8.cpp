// @brief UTF-8 and UTF-16 code points, one at a time.
#include "winport/src/system/utf8.h"

namespace winport::detail {
namespace {

bool InRange(unsigned char byte, unsigned char low, unsigned char high) {
  return byte >= low && byte <= high;
}

}  // namespace

char32_t DecodeUtf8(const unsigned char* text, size_t size, size_t& pos) {
  const unsigned char lead = text[pos++];
  if (lead < 0x80) return lead;
  int continuation;
  char32_t code_point;
  // The allowed range of the second byte excludes overlong forms, surrogates
  // and code points beyond U+10FFFF.
  unsigned char low = 0x80, high = 0xBF;
  if (InRange(lead, 0xC2, 0xDF)) {
    continuation = 1;
    code_point = lead & 0x1F;
  } else if (InRange(lead, 0xE0, 0xEF)) {
    continuation = 2;
    code_point = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (InRange(lead, 0xF0, 0xF4)) {
    continuation = 3;
    code_point = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return kInvalidCodePoint;
  }
  for (int i = 0; i < continuation; ++i) {
    if (pos >= size || !InRange(text[pos], low, high)) return kInvalidCodePoint;
    code_point = (code_point << 6) | (text[pos++] & 0x3F);
    low = 0x80;
    high = 0xBF;
  }
  return code_point;
}

char32_t DecodeUtf16(const char16_t* text, size_t size, size_t& pos) {
  const char16_t unit = text[pos++];
  if (unit < 0xD800 || unit > 0xDFFF) return unit;
  if (unit <= 0xDBFF && pos < size && text[pos] >= 0xDC00 && text[pos] <= 0xDFFF) {
    return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[pos++] - 0xDC00);
  }
  return kInvalidCodePoint;
}

void AppendUtf8(char32_t code_point, std::string& out) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | (code_point >> 6));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    out += static_cast<char>(0xE0 | (code_point >> 12));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code_point >> 18));
    out += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

}  // namespace winport::detail
