// @brief Visible escapes for what a terminal would otherwise act on.
#include "cli/visible_text.h"

#include <cstdio>

#include "cli/utf8.h"

namespace zvv {

std::string VisibleText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const CodePoint point = DecodeUtf8At(text, pos);
    char escaped[16];
    if (point.m_length == 0) {
      std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned char>(text[pos]));
      out += escaped;
      ++pos;
      continue;
    }
    if (!IsControl(point.m_value)) {
      out.append(text, pos, point.m_length);
    } else if (point.m_value < 0x80) {
      std::snprintf(escaped, sizeof escaped, "\\x%02x", static_cast<unsigned>(point.m_value));
      out += escaped;
    } else {
      std::snprintf(escaped, sizeof escaped, "\\u{%02x}", static_cast<unsigned>(point.m_value));
      out += escaped;
    }
    pos += point.m_length;
  }
  return out;
}

}  // namespace zvv
