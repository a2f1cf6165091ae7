// @brief Charset conversion through iconv, where the C library provides it.
#include <iconv.h>

#include <cerrno>

#include "charset_convert.h"

namespace dizode {

std::optional<std::string> ConvertToUtf8(std::string_view bytes, const std::string& charset) {
  iconv_t cd = iconv_open("UTF-8", charset.c_str());
  // iconv_open reports failure as the all-ones pointer.
  // NOLINTNEXTLINE(performance-no-int-to-ptr)
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  out.reserve(bytes.size() * 2);
  char buffer[4096];
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, outPtr - buffer);
    if (rc == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      out += "\xEF\xBF\xBD";  // EILSEQ or a truncated sequence at the end
      ++in;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  char* outPtr = buffer;
  size_t outLeft = sizeof buffer;
  // A stateful charset may owe a final shift back to its initial state.
  if (iconv(cd, nullptr, nullptr, &outPtr, &outLeft) != static_cast<size_t>(-1))
    out.append(buffer, outPtr - buffer);
  iconv_close(cd);
  return out;
}

}  // namespace dizode
