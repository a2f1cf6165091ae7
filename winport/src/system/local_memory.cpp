// @brief LocalAlloc and LocalFree: the allocator whose blocks FormatMessageA hands out.
#include <cstdlib>
#include <cstring>

#include "winport/api/errors.h"

// Every block is fixed (LMEM_MOVEABLE is not offered), so an HLOCAL is the
// block's address, as it is for LMEM_FIXED blocks on Windows.
HLOCAL LocalAlloc(UINT uFlags, SIZE_T uBytes) {
  if ((uFlags & ~static_cast<UINT>(LPTR)) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  void* block = (uFlags & LMEM_ZEROINIT) ? std::calloc(1, uBytes ? uBytes : 1)
                                         : std::malloc(uBytes ? uBytes : 1);
  if (block == nullptr) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return block;
}

HLOCAL LocalFree(HLOCAL hMem) {
  std::free(hMem);
  return nullptr;
}
