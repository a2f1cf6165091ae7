// @brief Display widths from the Unicode character data.
#include "cli/display_width.h"

#include <utf8proc.h>

#include "utf/code_points.h"

namespace zvv {
namespace {

constexpr char kEllipsis[] = "\xE2\x80\xA6";  // U+2026, one column

std::size_t CharacterWidth(const utf::CodePoint& point) {
  if (!point.valid) return 1;
  const int width = utf8proc_charwidth(static_cast<utf8proc_int32_t>(point.value));
  return width > 0 ? static_cast<std::size_t>(width) : 0;
}

}  // namespace

std::size_t DisplayWidth(std::string_view text) {
  std::size_t width = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const utf::CodePoint point = utf::DecodeUtf8(text, pos);
    width += CharacterWidth(point);
    pos += static_cast<std::size_t>(point.size);
  }
  return width;
}

std::string FitToWidth(std::string_view text, std::size_t width) {
  if (DisplayWidth(text) <= width) return std::string(text);
  if (width == 0) return {};
  const std::size_t room = width - 1;  // the ellipsis takes the last column
  std::size_t used = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const utf::CodePoint point = utf::DecodeUtf8(text, pos);
    const std::size_t next = used + CharacterWidth(point);
    if (next > room) break;
    used = next;
    pos += static_cast<std::size_t>(point.size);
  }
  return std::string(text.substr(0, pos)) + kEllipsis;
}

}  // namespace zvv
