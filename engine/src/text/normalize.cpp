#include "text/normalize.h"

#include <utf8proc.h>

namespace dizode::text {
namespace {

bool IsDeleted(char32_t c) {
  return c == 0x00AD || (c >= 0x200B && c <= 0x200D) || c == 0x2060 || c == 0xFEFF;
}

bool IsNonSpacingMark(char32_t c) {
  return utf8proc_category(static_cast<utf8proc_int32_t>(c)) == UTF8PROC_CATEGORY_MN;
}

// Letters that carry no decomposition of their own but that readers treat as a plain letter.
int MapLetter(char32_t c, char32_t* out) {
  switch (c) {
    case 0x00F8:  // ø
      out[0] = U'o';
      return 1;
    case 0x0111:  // đ
      out[0] = U'd';
      return 1;
    case 0x0142:  // ł
      out[0] = U'l';
      return 1;
    case 0x00E6:  // æ
      out[0] = U'a', out[1] = U'e';
      return 2;
    case 0x0153:  // œ
      out[0] = U'o', out[1] = U'e';
      return 2;
    default:
      out[0] = c;
      return 1;
  }
}

}  // namespace

bool MayCompose(char32_t mark) {
  if (mark < 0x300) {
    return false;
  }
  const utf8proc_category_t category = utf8proc_category(static_cast<utf8proc_int32_t>(mark));
  return (category >= UTF8PROC_CATEGORY_MN && category <= UTF8PROC_CATEGORY_ME) ||
         (mark >= 0x1161 && mark <= 0x11C2);  // Hangul vowels and finals
}

char32_t ComposePair(char32_t base, char32_t mark) {
  if (base < 0x80) {
    return 0;
  }
  utf8proc_int32_t pair[2] = {static_cast<utf8proc_int32_t>(base),
                              static_cast<utf8proc_int32_t>(mark)};
  const utf8proc_ssize_t n = utf8proc_normalize_utf32(
      pair, 2, static_cast<utf8proc_option_t>(UTF8PROC_COMPOSE | UTF8PROC_STABLE));
  return n == 1 ? static_cast<char32_t>(pair[0]) : 0;
}

bool IsFoldableLetter(char32_t c) {
  const utf8proc_category_t category = utf8proc_category(static_cast<utf8proc_int32_t>(c));
  return category >= UTF8PROC_CATEGORY_LU && category <= UTF8PROC_CATEGORY_LO &&
         IsFoldableScript(c);
}

bool IsFoldableScript(char32_t c) {
  return (c >= 0x41 && c <= 0x24F) || (c >= 0x1E00 && c <= 0x1EFF) ||     // Latin
         (c >= 0x2C60 && c <= 0x2C7F) || (c >= 0xA720 && c <= 0xA7FF) ||  // Latin extended
         (c >= 0x370 && c <= 0x3FF) || (c >= 0x1F00 && c <= 0x1FFF) ||    // Greek
         (c >= 0x400 && c <= 0x52F) || (c >= 0x1C80 && c <= 0x1C8F) ||    // Cyrillic
         (c >= 0x2DE0 && c <= 0x2DFF) || (c >= 0xA640 && c <= 0xA69F);
}

int NormalizeCodePoint(char32_t c, bool afterFoldableLetter, char32_t out[kMaxExpansion]) {
  if (c < 0x80) {
    out[0] = c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
    return 1;
  }
  if (IsDeleted(c)) {
    return 0;
  }
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    out[0] = 0xFFFD;
    return 1;
  }
  utf8proc_int32_t buffer[kMaxExpansion];
  int boundClass = 0;
  const auto options = static_cast<utf8proc_option_t>(UTF8PROC_COMPAT | UTF8PROC_CASEFOLD |
                                                      UTF8PROC_DECOMPOSE | UTF8PROC_STABLE);
  utf8proc_ssize_t length = utf8proc_decompose_char(static_cast<utf8proc_int32_t>(c), buffer,
                                                    kMaxExpansion, options, &boundClass);
  if (length < 0 || length > kMaxExpansion) {
    out[0] = c;
    return 1;
  }
  // Drop the accents of foldable letters: those decomposed from this character, and a lone
  // combining mark that follows such a letter.
  bool foldable = afterFoldableLetter;
  utf8proc_ssize_t kept = 0;
  for (utf8proc_ssize_t i = 0; i < length; ++i) {
    const auto cp = static_cast<char32_t>(buffer[i]);
    if (IsNonSpacingMark(cp) && foldable) {
      continue;
    }
    if (!IsNonSpacingMark(cp)) {
      foldable = IsFoldableScript(cp);
    }
    buffer[kept++] = buffer[i];
  }
  if (kept > 1) {
    kept = utf8proc_normalize_utf32(
        buffer, kept, static_cast<utf8proc_option_t>(UTF8PROC_COMPOSE | UTF8PROC_STABLE));
    if (kept < 0) {
      out[0] = c;
      return 1;
    }
  }
  int written = 0;
  for (utf8proc_ssize_t i = 0; i < kept; ++i) {
    char32_t mapped[2];
    const int n = MapLetter(static_cast<char32_t>(buffer[i]), mapped);
    for (int k = 0; k < n && written < kMaxExpansion; ++k) {
      out[written++] = mapped[k];
    }
  }
  return written;
}

}  // namespace dizode::text
