#include "query/text.h"

#include "text/analysis.h"

namespace dizode::query {

CodePoint DecodeAt(std::string_view text, size_t offset) {
  constexpr CodePoint kInvalid{0xFFFD, 1};
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(offset);
  if (lead < 0x80) {
    return {lead, 1};
  }
  int size = 0;
  char32_t value = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    size = 2, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    size = 3, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    size = 4, value = lead & 0x07, minimum = 0x10000;
  } else {
    return kInvalid;
  }
  if (offset + size > text.size()) {
    return kInvalid;
  }
  for (int i = 1; i < size; ++i) {
    const unsigned char next = byte(offset + i);
    if ((next & 0xC0) != 0x80) {
      return kInvalid;
    }
    value = (value << 6) | (next & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return kInvalid;
  }
  return {value, size};
}

void AppendUtf8(std::string& out, char32_t c) {
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

bool IsWhiteSpace(char32_t c) {
  return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000;
}

bool IsQuote(char32_t c) { return c == U'"' || c == 0x201C || c == 0x201D || c == 0x201E; }

bool IsWordChar(char32_t c) { return text::ClassOf(c) != text::CharClass::kSeparator; }

bool IsLowerCase(char32_t c) {
  if (c >= 'a' && c <= 'z') {
    return true;
  }
  if (c >= 0xDF && c <= 0xFF) {
    return c != 0xF7;
  }
  if (c >= 0x100 && c <= 0x17F) {  // Latin Extended-A pairs upper and lower case
    if (c == 0x138 || c == 0x149 || c == 0x17F) {
      return true;  // kra, n-apostrophe, long s
    }
    const bool oddIsLower = c < 0x138 || (c > 0x149 && c < 0x178);
    return c != 0x178 && (c & 1) == (oddIsLower ? 1u : 0u);
  }
  if (c >= 0x3AC && c <= 0x3CE) {
    return true;  // Greek
  }
  return c >= 0x430 && c <= 0x45F;  // Cyrillic
}

}  // namespace dizode::query
