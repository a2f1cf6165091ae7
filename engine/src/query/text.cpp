#include "query/text.h"

namespace dizode::query {
namespace {

struct Range {
  char32_t first;
  char32_t last;
};

// Separator ranges outside ASCII: punctuation and symbol blocks. Digits and letters inside these
// blocks (superscripts, ordinal indicators, CJK iteration marks) are left out so they stay tokens.
constexpr Range kSeparators[] = {
    {0x0080, 0x00A9},   {0x00AB, 0x00B1}, {0x00B4, 0x00B4}, {0x00B6, 0x00B8}, {0x00BB, 0x00BB},
    {0x00BF, 0x00BF},   {0x00D7, 0x00D7}, {0x00F7, 0x00F7}, {0x02C2, 0x02C5}, {0x02D2, 0x02DF},
    {0x037E, 0x037E},   {0x0387, 0x0387}, {0x055A, 0x055F}, {0x0589, 0x058A}, {0x05BE, 0x05BE},
    {0x060C, 0x060D},   {0x061B, 0x061F}, {0x066A, 0x066D}, {0x06D4, 0x06D4}, {0x0964, 0x0965},
    {0x0E3F, 0x0E3F},   {0x0E4F, 0x0E4F}, {0x0E5A, 0x0E5B}, {0x2000, 0x206F}, {0x20A0, 0x20CF},
    {0x2190, 0x245F},   {0x2500, 0x2775}, {0x2794, 0x2BFF}, {0x2E00, 0x2E7F}, {0x3000, 0x3004},
    {0x3008, 0x3020},   {0x3030, 0x3030}, {0x303D, 0x303F}, {0x30FB, 0x30FB}, {0xD800, 0xDFFF},
    {0xFE00, 0xFE0F},   {0xFE10, 0xFE1F}, {0xFE30, 0xFE6F}, {0xFEFF, 0xFEFF}, {0xFF01, 0xFF0F},
    {0xFF1A, 0xFF20},   {0xFF3B, 0xFF40}, {0xFF5B, 0xFF65}, {0xFFE0, 0xFFFF}, {0x1F000, 0x1FAFF},
    {0xE0000, 0xE007F},
};

bool InRanges(char32_t c, const Range* begin, const Range* end) {
  for (const Range* r = begin; r != end; ++r) {
    if (c >= r->first && c <= r->last) {
      return true;
    }
  }
  return false;
}

// Latin-1 letters U+00C0..U+00FF as unicode61 with remove_diacritics folds them: lower case,
// decomposable diacritics removed; letters without a decomposition (ß, æ, ø, ð, þ) stay letters
// of their own. "" keeps the character.
constexpr const char* kLatin1Fold[64] = {
    "a", "a", "a", "a",        "a",        "a", "\xC3\xA6", "c", "e", "e", "e", "e",        "i",
    "i", "i", "i", "\xC3\xB0", "n",        "o", "o",        "o", "o", "o", "",  "\xC3\xB8", "u",
    "u", "u", "u", "y",        "\xC3\xBE", "",  "a",        "a", "a", "a", "a", "a",        "",
    "c", "e", "e", "e",        "e",        "i", "i",        "i", "i", "",  "n", "o",        "o",
    "o", "o", "o", "",         "",         "u", "u",        "u", "u", "y", "",  "y",
};

}  // namespace

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

bool IsWordChar(char32_t c) {
  if (c < 0x80) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  }
  return !InRanges(c, std::begin(kSeparators), std::end(kSeparators));
}

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

void AppendFolded(std::string& out, char32_t c) {
  if (c >= 'A' && c <= 'Z') {
    out += static_cast<char>(c - 'A' + 'a');
  } else if (c >= 0xC0 && c <= 0xFF && kLatin1Fold[c - 0xC0][0] != '\0') {
    out += kLatin1Fold[c - 0xC0];
  } else {
    AppendUtf8(out, c);
  }
}

}  // namespace dizode::query
