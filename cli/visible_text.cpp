// @brief Visible escapes for what a terminal would otherwise act on.
#include "cli/visible_text.h"

#include <cstdio>

#include "utf/code_points.h"

namespace zvv {

std::string VisibleText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const utf::CodePoint point = utf::DecodeUtf8(text, pos);
    const auto size = static_cast<std::size_t>(point.size);
    char escaped[16];
    if (!point.valid) {
      for (std::size_t i = 0; i < size; ++i) {
        std::snprintf(escaped, sizeof escaped, "\\x%02x",
                      static_cast<unsigned char>(text[pos + i]));
        out += escaped;
      }
    } else if (!IsControl(point.value)) {
      out.append(text, pos, size);
    } else if (point.value < 0x80) {
      std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned>(point.value));
      out += escaped;
    } else {
      std::snprintf(escaped, sizeof escaped, "\\u{%02x}", static_cast<unsigned>(point.value));
      out += escaped;
    }
    pos += size;
  }
  return out;
}

bool IsControl(char32_t value) { return value < 0x20 || (value >= 0x7F && value <= 0x9F); }

}  // namespace zvv
