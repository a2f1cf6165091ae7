// @brief Reading UTF-8 one code point at a time, refusing malformed sequences.
#pragma once

#include <cstddef>
#include <string_view>

namespace zvv {

// The code point that starts at `pos` and the bytes it takes; m_length is 0
// when the bytes there are no well-formed UTF-8 (a stray continuation byte, a
// cut or overlong sequence, a surrogate or a value past U+10FFFF).
struct CodePoint {
  char32_t m_value = 0;
  std::size_t m_length = 0;
};
CodePoint DecodeUtf8At(std::string_view text, std::size_t pos);

// C0 controls, DEL and C1 controls: what a terminal may act on instead of showing.
bool IsControl(char32_t value);

}  // namespace zvv
