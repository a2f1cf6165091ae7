// The character classes the query lexer needs.
//
// Word characters are those of text/analysis.h, so the lexer reads a chunk as the index does.
#pragma once

namespace dizode::query {

bool IsWhiteSpace(char32_t c);  // Unicode White_Space
bool IsQuote(char32_t c);       // " and the curly and low double quotes
bool IsWordChar(char32_t c);    // a character that belongs to an index token
bool IsLowerCase(char32_t c);   // lower-case letters of the Latin, Greek and Cyrillic blocks

}  // namespace dizode::query
