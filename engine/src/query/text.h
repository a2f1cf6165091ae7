// UTF-8 decoding and the character classes the query lexer needs.
//
// Word characters are those of text/analysis.h, so the lexer reads a chunk as the index does.
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

}  // namespace dizode::query
