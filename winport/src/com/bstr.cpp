// BSTR allocation. Each string is one heap block: a 32-bit byte count, the
// characters, then one zero OLECHAR, so the text can be handed to code that
// expects a terminated string while embedded NULs stay part of the value.

#include <climits>
#include <cstdlib>
#include <cstring>

#include "winport/win32.h"

namespace {

using ByteCount = uint32_t;
constexpr size_t kPrefix = sizeof(ByteCount);
// The largest byte count whose block (prefix + bytes + terminator) still fits
// the 32-bit length field's range with room to spare.
constexpr UINT kMaxBytes = UINT_MAX - kPrefix - 2 * sizeof(OLECHAR);

char* BlockOf(BSTR s) { return reinterpret_cast<char*>(s) - kPrefix; }

// Allocates a string of `bytes` bytes, copying `source` when given and zero-
// filling otherwise. Returns null when the size cannot be represented or
// memory runs out.
BSTR AllocBytes(const void* source, UINT bytes) {
  if (bytes > kMaxBytes) return nullptr;
  // Room for a zero OLECHAR after the text, and one spare.
  const size_t total = kPrefix + bytes + 2 * sizeof(OLECHAR);
  char* block = static_cast<char*>(std::malloc(total));
  if (!block) return nullptr;
  const ByteCount count = bytes;
  std::memcpy(block, &count, kPrefix);
  char* text = block + kPrefix;
  if (source) {
    std::memcpy(text, source, bytes);
  } else {
    std::memset(text, 0, bytes);
  }
  std::memset(text + bytes, 0, total - kPrefix - bytes);
  return reinterpret_cast<BSTR>(text);
}

UINT CharsToBytes(UINT chars) {
  return chars > kMaxBytes / sizeof(OLECHAR) ? UINT_MAX : chars * sizeof(OLECHAR);
}

UINT TextLength(const OLECHAR* psz) {
  size_t n = 0;
  while (psz[n] != 0) ++n;
  return n > UINT_MAX ? UINT_MAX : static_cast<UINT>(n);
}

}  // namespace

extern "C" BSTR SysAllocString(const OLECHAR* psz) {
  if (!psz) return nullptr;
  return SysAllocStringLen(psz, TextLength(psz));
}

// A null source gives a zero-filled string of ui characters (Windows leaves
// the contents undefined).
extern "C" BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui) {
  return AllocBytes(strIn, CharsToBytes(ui));
}

extern "C" void SysFreeString(BSTR bstrString) {
  if (bstrString) std::free(BlockOf(bstrString));
}

extern "C" UINT SysStringLen(BSTR pbstr) {
  if (!pbstr) return 0;
  ByteCount count;
  std::memcpy(&count, BlockOf(pbstr), kPrefix);
  return count / static_cast<UINT>(sizeof(OLECHAR));
}
