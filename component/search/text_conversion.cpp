// @brief Wide and narrow text: UTF-16 and UTF-8 on every platform, since the
// toolkit reads and writes UTF-8 whatever the system's code page is.
#include "component/search/text_conversion.h"

#include <climits>

namespace {

// Lengths handed to the system's conversions are int; longer texts are cut
// rather than overflowing the count.
int ClampedLength(size_t n) { return n > INT_MAX ? INT_MAX : static_cast<int>(n); }

bool IsHighSurrogate(OLECHAR c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(OLECHAR c) { return c >= 0xDC00 && c <= 0xDFFF; }

// A lone surrogate has no UTF-8 form: it becomes "?".
WideString WithoutLoneSurrogates(const OLECHAR* s, size_t n) {
  WideString out(s, n);
  for (size_t i = 0; i < n; ++i) {
    if (IsHighSurrogate(out[i]) && i + 1 < n && IsLowSurrogate(out[i + 1])) {
      ++i;
    } else if (IsHighSurrogate(out[i]) || IsLowSurrogate(out[i])) {
      out[i] = u'?';
    }
  }
  return out;
}

// Converts strict UTF-8; 0 when the bytes are not valid UTF-8.
int StrictToWide(const char* s, int n, OLECHAR* out, int cchOut) {
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, s, n, out, cchOut);
}

}  // namespace

std::string WideToNarrow(const OLECHAR* sWide) {
  if (!sWide) {
    return {};
  }
  size_t n = 0;
  while (sWide[n] != 0) {
    ++n;
  }
  const WideString clean = WithoutLoneSurrogates(sWide, n);
  const int length = ClampedLength(clean.size());
  int cb = WideCharToMultiByte(CP_UTF8, 0, clean.data(), length, nullptr, 0, nullptr, nullptr);
  if (cb <= 0) {
    return {};
  }
  std::string out(static_cast<size_t>(cb), '\0');
  cb = WideCharToMultiByte(CP_UTF8, 0, clean.data(), length, out.data(), cb, nullptr, nullptr);
  out.resize(cb > 0 ? static_cast<size_t>(cb) : 0);
  return out;
}

WideString NarrowToWide(const char* sNarrow) {
  if (!sNarrow) {
    return {};
  }
  const size_t n = std::char_traits<char>::length(sNarrow);
  const int length = ClampedLength(n);
  int cch = StrictToWide(sNarrow, length, nullptr, 0);
  if (cch > 0) {
    WideString out(static_cast<size_t>(cch), u'\0');
    cch = StrictToWide(sNarrow, length, out.data(), cch);
    out.resize(cch > 0 ? static_cast<size_t>(cch) : 0);
    return out;
  }
  // Not valid UTF-8: convert sequence by sequence, each byte that starts no
  // valid sequence becoming "?".
  WideString out;
  size_t i = 0;
  while (i < static_cast<size_t>(length)) {
    OLECHAR unit[2];
    int produced = 0;
    size_t used = 1;
    for (; used <= 4 && i + used <= static_cast<size_t>(length) && produced <= 0; ++used) {
      produced = StrictToWide(sNarrow + i, static_cast<int>(used), unit, 2);
    }
    if (produced > 0) {
      out.append(unit, static_cast<size_t>(produced));
      i += used - 1;
    } else {
      out.push_back(u'?');
      ++i;
    }
  }
  return out;
}
