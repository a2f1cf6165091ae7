// UTF-8 decoding and the character classes the query lexer needs.
//
// The index uses FTS5's unicode61 tokenizer (with diacritic removal) under the porter stemmer, so
// the classes here mirror how that tokenizer splits text: letters and digits of any script are
// token characters, everything else separates. The table is an approximation by code point
// ranges, good for Latin, Greek, Cyrillic, CJK and the common punctuation and symbol blocks; a
// character it misjudges costs at most a token that FTS5 would have split differently, never an
// error, because every token is handed to FTS5 as a quoted string.
#pragma once

#include <string>
#include <string_view>

namespace dizode::query {

struct CodePoint {
  char32_t value;  // U+FFFD for a byte that does not start a valid sequence
  int size;        // bytes consumed, at least 1
};

CodePoint DecodeAt(std::string_view text, size_t offset);
void AppendUtf8(std::string& out, char32_t c);

bool IsWhiteSpace(char32_t c);  // Unicode White_Space
bool IsQuote(char32_t c);       // " and the curly and low double quotes
bool IsWordChar(char32_t c);    // a character that belongs to an index token
bool IsLowerCase(char32_t c);   // lower-case letters of the Latin, Greek and Cyrillic blocks

// Appends `c` as the index stores it: lower-cased and, for Latin-1 letters, without decomposable
// diacritics.
// Other scripts pass unchanged; FTS5 folds them itself when it tokenizes the query string.
void AppendFolded(std::string& out, char32_t c);

}  // namespace dizode::query
