#include "query/text.h"

#include "text/analysis.h"

namespace dizode::query {

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
