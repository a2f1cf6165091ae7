// @brief Charset guessing through the system's universal charset detector.
#include "charset_detect.h"

#include <uchardet/uchardet.h>

#include <algorithm>
#include <memory>

namespace dizode {
namespace {

// The detector costs about 0.2 ms per KiB of dense non-ASCII text, and a few hundred non-ASCII
// bytes usually settle it: 16 KiB keeps a page's guess within a few milliseconds.
constexpr size_t kWindowBytes = 16 * 1024;
// The evidence is in the non-ASCII bytes, so the window starts just before the first of them
// rather than at the top, where a long ASCII head (scripts, styles) would use it up.
constexpr size_t kLeadBytes = 256;
// With fewer non-ASCII bytes than this, the single-byte probers disagree at random (one
// accented letter reads as any of half a dozen Latin charsets); the caller's default is better.
constexpr size_t kMinEvidenceBytes = 16;

struct DetectorDeleter {
  void operator()(uchardet* detector) const { uchardet_delete(detector); }
};

bool IsHighByte(char c) { return static_cast<unsigned char>(c) >= 0x80; }

}  // namespace

std::string GuessCharset(std::string_view bytes) {
  size_t first =
      static_cast<size_t>(std::find_if(bytes.begin(), bytes.end(), IsHighByte) - bytes.begin());
  if (first == bytes.size()) return {};
  std::string_view window =
      bytes.substr(first - std::min(first, kLeadBytes)).substr(0, kWindowBytes);
  if (static_cast<size_t>(std::count_if(window.begin(), window.end(), IsHighByte)) <
      kMinEvidenceBytes)
    return {};

  std::unique_ptr<uchardet, DetectorDeleter> detector(uchardet_new());
  if (!detector) return {};
  if (uchardet_handle_data(detector.get(), window.data(), window.size()) != 0) return {};
  uchardet_data_end(detector.get());
  const char* name = uchardet_get_charset(detector.get());
  return name ? name : "";
}

}  // namespace dizode
