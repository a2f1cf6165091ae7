// The normalisation shared by page text and query text.
#include <gtest/gtest.h>

#include <string>

#include "text/analysis.h"
#include "text/normalize.h"

namespace dizode::text {
namespace {

struct Case {
  std::string input;
  std::string expected;
};

void ExpectAll(const std::initializer_list<Case>& cases) {
  for (const Case& c : cases) {
    EXPECT_EQ(Normalize(c.input), c.expected) << c.input;
  }
}

TEST(NormalizeTest, CompatibilityFormsBecomePlain) {
  ExpectAll({
      {"\uFF21\uFF22\uFF43\uFF11\uFF12", "abc12"},  // full-width letters and digits
      {"\uFB01le \uFB03x", "file ffix"},            // ligatures
      {"x\u00B2 H\u2082O", "x2 h2o"},               // superscript, subscript
      {"\u2460", "1"},                              // circled digit
      {"\u2011", "\u2010"},                         // non-breaking hyphen becomes a hyphen
  });
}

TEST(NormalizeTest, FullCaseFolding) {
  ExpectAll({
      {"Stra\u00DFe", "strasse"},
      {"\u1E9E", "ss"},               // capital sharp s
      {"\u0130stanbul", "istanbul"},  // dotted capital I folds to i plus a dot, which goes
      {"\u03A3\u03BF\u03C6\u03CC\u03C2", "\u03C3\u03BF\u03C6\u03BF\u03C3"},  // final sigma
      {"\u041C\u041E\u0421\u041A\u0412\u0410", "\u043C\u043E\u0441\u043A\u0432\u0430"},
  });
}

TEST(NormalizeTest, AccentsDroppedOnlyForLatinGreekCyrillic) {
  ExpectAll({
      {"Caf\u00E9 na\u00EFve \u00C5ngstr\u00F6m", "cafe naive angstrom"},
      {"\u1EA0\u1EC7", "ae"},  // Vietnamese stacked marks
      {"\u03AC\u03AD\u03AE\u03AF\u03CC\u03CD\u03CE", "\u03B1\u03B5\u03B7\u03B9\u03BF\u03C5\u03C9"},
      {"\u0401\u043B\u043A\u0430 \u0439", "\u0435\u043B\u043A\u0430 \u0438"},  // Ёлка й
      // Marks written as separate characters after a Latin letter, one or several.
      {"cafe\u0301", "cafe"},
      {"a\u0301\u0302b", "ab"},
      {"\u0410\u0308", "\u0430"},  // Cyrillic A with a separate diaeresis
      // Marks of other scripts are part of their letters.
      {"\u0915\u093F \u0915\u094D\u0937", "\u0915\u093F \u0915\u094D\u0937"},  // Devanagari
      {"\u0628\u064E\u0627\u0628", "\u0628\u064E\u0627\u0628"},                // Arabic fatha
      {"\u30AC", "\u30AC"},    // a voiced kana keeps its mark
      {"a\u30AC", "a\u30AC"},  // ...even right after a Latin letter
      {"1\u0301", "1\u0301"},  // a digit is not a letter whose accents fold
  });
}

TEST(NormalizeTest, LetterMapAndDeletedCharacters) {
  ExpectAll({
      {"\u00D8re \u0110or\u0111e \u0141\u00F3d\u017A", "ore dorde lodz"},
      {"\u00C6ther \u0152uvre \u00E6\u0153", "aether oeuvre aeoe"},
      {"hy\u00ADphen", "hyphen"},
      // A mark written after its base joins it where Unicode has one character for the pair.
      {"\uFF76\uFF9E", "\u30AC"},        // half-width ka and voicing mark
      {"\u30AB\u3099", "\u30AC"},        // ka and a combining voicing mark
      {"\u1100\u1161\u11A8", "\uAC01"},  // Hangul jamo make one syllable
      {"\u0B47\u0B3E", "\u0B4B"},        // Oriya vowel sign
      {"ze\u200Bro\u200Cwi\u200Ddth\u2060s\uFEFF", "zerowidths"},
      {"\u00AD\u200B", ""},
  });
}

TEST(NormalizeTest, HostileInputBecomesReplacementCharacters) {
  ExpectAll({
      {"a\xFF"
       "b",
       "a\uFFFDb"},
      {"\xC3", "\uFFFD"},                                // truncated sequence
      {"\xED\xA0\x80", "\uFFFD\uFFFD\uFFFD"},            // an encoded surrogate, byte by byte
      {"\xF4\x90\x80\x80", "\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
      {std::string("a\0B", 3), std::string("a\0b", 3)},
  });
  // The longest compatibility expansion there is fits the buffer exactly.
  char32_t out[kMaxExpansion];
  EXPECT_EQ(NormalizeCodePoint(0xFDFA, false, out), kMaxExpansion);
  EXPECT_EQ(NormalizeCodePoint(0xD800, false, out), 1);
  EXPECT_EQ(out[0], char32_t{0xFFFD});
  EXPECT_EQ(NormalizeCodePoint(0x110000, false, out), 1);
  EXPECT_EQ(out[0], char32_t{0xFFFD});
}

TEST(NormalizeTest, Idempotent) {
  for (const char* text : {"Stra\u00DFe \uFB01 \u00C5 \u30AC \u0915\u094D\u0937 \u1E9E \u0130",
                           "\u0390 \u01C5 \u2474 \u33A1"}) {
    const std::string once = Normalize(text);
    EXPECT_EQ(Normalize(once), once) << text;
  }
}

}  // namespace
}  // namespace dizode::text
