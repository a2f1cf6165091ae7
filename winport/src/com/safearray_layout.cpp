// SAFEARRAY descriptor and data blocks.

#include "winport/src/com/safearray_layout.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "winport/src/com/vartype.h"

namespace winport {
namespace {

constexpr size_t kHeader = 16;
// Keeps every array's data size far from the address-space limit.
constexpr size_t kMaxDataBytes = SIZE_MAX / 4;

USHORT FeaturesFor(VARTYPE vt) {
  switch (vt) {
    case VT_BSTR:
      return FADF_HAVEVARTYPE | FADF_BSTR;
    case VT_VARIANT:
      return FADF_HAVEVARTYPE | FADF_VARIANT;
    case VT_UNKNOWN:
      return FADF_HAVEVARTYPE | FADF_UNKNOWN;
    case VT_DISPATCH:
      return FADF_HAVEVARTYPE | FADF_DISPATCH;
    default:
      return FADF_HAVEVARTYPE;
  }
}

char* BlockOf(SAFEARRAY* psa) { return reinterpret_cast<char*>(psa) - kHeader; }

}  // namespace

SAFEARRAY* NewDescriptor(VARTYPE vt, UINT cDims) {
  const size_t elementSize = ElementSize(vt);
  if (elementSize == 0 || cDims == 0 || cDims > USHRT_MAX) return nullptr;
  const size_t bytes = kHeader + sizeof(SAFEARRAY) + (cDims - 1) * sizeof(SAFEARRAYBOUND);
  char* block = static_cast<char*>(std::calloc(1, bytes));
  if (!block) return nullptr;
  const DWORD storedVt = vt;
  std::memcpy(block + kHeader - sizeof(DWORD), &storedVt, sizeof(DWORD));
  SAFEARRAY* psa = reinterpret_cast<SAFEARRAY*>(block + kHeader);
  psa->cDims = static_cast<USHORT>(cDims);
  psa->fFeatures = FeaturesFor(vt);
  psa->cbElements = static_cast<ULONG>(elementSize);
  return psa;
}

void FreeDescriptor(SAFEARRAY* psa) {
  if (psa) std::free(BlockOf(psa));
}

VARTYPE StoredVartype(const SAFEARRAY* psa) {
  DWORD vt;
  std::memcpy(&vt, reinterpret_cast<const char*>(psa) - sizeof(DWORD), sizeof(DWORD));
  return static_cast<VARTYPE>(vt);
}

bool CellCount(const SAFEARRAY* psa, size_t* count) {
  size_t total = 1;
  for (USHORT i = 0; i < psa->cDims; ++i) {
    const size_t n = psa->rgsabound[i].cElements;
    if (n != 0 && total > kMaxDataBytes / n) return false;
    total *= n;
  }
  *count = total;
  return true;
}

HRESULT AllocateData(SAFEARRAY* psa) {
  size_t count;
  if (!CellCount(psa, &count) || count > kMaxDataBytes / psa->cbElements) return E_OUTOFMEMORY;
  // One byte at least, so an empty array still has a data block to lock.
  void* data = std::calloc(count ? count : 1, psa->cbElements);
  if (!data) return E_OUTOFMEMORY;
  psa->pvData = data;
  return S_OK;
}

void FreeData(SAFEARRAY* psa) {
  if (!psa->pvData) return;
  size_t count = 0;
  CellCount(psa, &count);
  char* cell = static_cast<char*>(psa->pvData);
  for (size_t i = 0; i < count; ++i, cell += psa->cbElements) {
    if (psa->fFeatures & FADF_VARIANT) {
      VariantClear(reinterpret_cast<VARIANT*>(cell));
    } else if (psa->fFeatures & FADF_BSTR) {
      SysFreeString(*reinterpret_cast<BSTR*>(cell));
    } else if (psa->fFeatures & (FADF_UNKNOWN | FADF_DISPATCH)) {
      IUnknown* unk = *reinterpret_cast<IUnknown**>(cell);
      if (unk) unk->Release();
    }
  }
  std::free(psa->pvData);
  psa->pvData = nullptr;
}

}  // namespace winport
