// @brief UTF-8 and UTF-16 code points, one at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace winport::detail {

constexpr char32_t kReplacementCharacter = 0xFFFD;
constexpr char32_t kInvalidCodePoint = 0xFFFFFFFF;

// Decodes the code point at `text[pos]` and moves `pos` past it. A malformed
// sequence (stray continuation byte, overlong form, surrogate, beyond U+10FFFF,
// cut short) yields kInvalidCodePoint and moves past its longest valid-looking
// prefix, so each malformed piece counts once, as Unicode recommends.
char32_t DecodeUtf8(const unsigned char* text, size_t size, size_t& pos);

// Decodes the UTF-16 code point at `text[pos]`; an unpaired surrogate yields
// kInvalidCodePoint and moves past that one unit.
char32_t DecodeUtf16(const char16_t* text, size_t size, size_t& pos);

// Appends the UTF-8 form of a valid code point.
void AppendUtf8(char32_t code_point, std::string& out);

}  // namespace winport::detail
