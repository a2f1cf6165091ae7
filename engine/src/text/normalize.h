// The one normalisation that index and query text both go through, so that anything findable by
// typing it is findable:
//   1. compatibility composition (full-width forms, ligatures, superscripts become plain);
//   2. full case folding (ß becomes ss);
//   3. accents dropped from Latin, Greek and Cyrillic letters (marks of other scripts are letters
//      there and stay);
//   4. letters without a decomposition mapped to their plain base (ø o, đ d, ł l, æ ae, œ oe);
//   5. soft hyphens and zero-width characters deleted.
#pragma once

namespace dizode::text {

// Up to this many code points come out of one input code point (ﬃ gives three, ǅ two).
inline constexpr int kMaxExpansion = 18;

// Writes the normalised form of `c` to `out` and returns how many code points it wrote (0 for a
// deleted character). `afterFoldableLetter` tells whether the previous character was a Latin,
// Greek or Cyrillic letter, so that a combining accent written on its own is dropped too.
int NormalizeCodePoint(char32_t c, bool afterFoldableLetter, char32_t out[kMaxExpansion]);

// Each character is normalised on its own, so a mark written after its base (the voicing mark
// after a kana, a Hangul vowel after its consonant) is joined to it afterwards: the single
// character for the pair, or 0 when Unicode has none. Only worth asking when MayCompose(mark).
char32_t ComposePair(char32_t base, char32_t mark);
bool MayCompose(char32_t mark);

// Latin, Greek or Cyrillic: the scripts whose accents searches ignore.
bool IsFoldableScript(char32_t c);
bool IsFoldableLetter(char32_t c);

}  // namespace dizode::text
