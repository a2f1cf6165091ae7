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
  // Room for a whole zero OLECHAR after the text, even after an odd byte count.
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

extern "C" BSTR SysAllocStringByteLen(LPCSTR psz, UINT len) { return AllocBytes(psz, len); }

extern "C" INT SysReAllocString(BSTR* pbstr, const OLECHAR* psz) {
  if (!pbstr) return FALSE;
  if (!psz) {
    // Divergence: Windows leaves such a call undefined; here the string is
    // freed and the slot left null, matching SysAllocString(nullptr).
    SysFreeString(*pbstr);
    *pbstr = nullptr;
    return TRUE;
  }
  return SysReAllocStringLen(pbstr, psz, TextLength(psz));
}

// The source may point into *pbstr: the new string is made before the old one
// is freed. A null source keeps the old characters that fit and zero-fills the
// rest.
extern "C" INT SysReAllocStringLen(BSTR* pbstr, const OLECHAR* psz, UINT len) {
  if (!pbstr) return FALSE;
  BSTR fresh = SysAllocStringLen(psz, len);
  if (!fresh) return FALSE;
  if (!psz && *pbstr) {
    const UINT keep = SysStringLen(*pbstr) < len ? SysStringLen(*pbstr) : len;
    std::memcpy(fresh, *pbstr, keep * sizeof(OLECHAR));
  }
  SysFreeString(*pbstr);
  *pbstr = fresh;
  return TRUE;
}

extern "C" void SysFreeString(BSTR bstrString) {
  if (bstrString) std::free(BlockOf(bstrString));
}

extern "C" UINT SysStringByteLen(BSTR bstr) {
  if (!bstr) return 0;
  ByteCount count;
  std::memcpy(&count, BlockOf(bstr), kPrefix);
  return count;
}

extern "C" UINT SysStringLen(BSTR pbstr) {
  return SysStringByteLen(pbstr) / static_cast<UINT>(sizeof(OLECHAR));
}
