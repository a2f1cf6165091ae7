// Task memory: the allocator that callers and callees share for [out] blocks.

#include <cstdlib>

#include "winport/win32.h"

// A request for zero bytes still returns a block, which CoTaskMemFree takes.
extern "C" LPVOID CoTaskMemAlloc(SIZE_T cb) { return std::malloc(cb ? cb : 1); }

// A null block is allocated afresh; a size of zero frees the block and returns
// null, as on Windows.
extern "C" LPVOID CoTaskMemRealloc(LPVOID pv, SIZE_T cb) {
  if (!pv) return CoTaskMemAlloc(cb);
  if (cb == 0) {
    std::free(pv);
    return nullptr;
  }
  return std::realloc(pv, cb);
}

extern "C" void CoTaskMemFree(LPVOID pv) { std::free(pv); }
