// SAFEARRAY element access and deep copies.
//
// rgIndices[0] indexes dimension 1, the one that varies fastest in memory, and
// rgIndices[cDims - 1] the last dimension.

#include <cstring>

#include "winport/src/com/safearray_layout.h"
#include "winport/win32.h"

namespace {

// Copies the value at `from` (an element of an array with these features)
// into the zero-filled or unowned cell `to`.
HRESULT CopyCellInto(USHORT features, ULONG size, const void* from, void* to) {
  if (features & FADF_VARIANT) {
    VARIANT copy;
    VariantInit(&copy);
    const HRESULT hr = VariantCopy(&copy, static_cast<const VARIANT*>(from));
    if (FAILED(hr)) return hr;
    std::memcpy(to, &copy, sizeof copy);
  } else if (features & FADF_BSTR) {
    BSTR s = *static_cast<const BSTR*>(from);
    BSTR copy = s ? SysAllocStringLen(s, SysStringLen(s)) : nullptr;
    if (s && !copy) return E_OUTOFMEMORY;
    *static_cast<BSTR*>(to) = copy;
  } else if (features & (FADF_UNKNOWN | FADF_DISPATCH)) {
    IUnknown* unk = *static_cast<IUnknown* const*>(from);
    if (unk) unk->AddRef();
    *static_cast<IUnknown**>(to) = unk;
  } else {
    std::memcpy(to, from, size);
  }
  return S_OK;
}

// Frees what a cell owns before it is overwritten.
void ReleaseCell(USHORT features, void* cell) {
  if (features & FADF_BSTR) {
    SysFreeString(*static_cast<BSTR*>(cell));
  } else if (features & (FADF_UNKNOWN | FADF_DISPATCH)) {
    if (IUnknown* unk = *static_cast<IUnknown**>(cell)) unk->Release();
  }
}

}  // namespace

extern "C" HRESULT SafeArrayPtrOfIndex(SAFEARRAY* psa, LONG* rgIndices, void** ppvData) {
  if (!psa || !rgIndices || !ppvData) return E_INVALIDARG;
  size_t offset = 0;
  size_t stride = 1;
  for (UINT i = 0; i < psa->cDims; ++i) {
    const SAFEARRAYBOUND& bound = psa->rgsabound[psa->cDims - 1 - i];
    const int64_t at = static_cast<int64_t>(rgIndices[i]) - bound.lLbound;
    if (at < 0 || at >= static_cast<int64_t>(bound.cElements)) return DISP_E_BADINDEX;
    offset += static_cast<size_t>(at) * stride;
    stride *= bound.cElements;
  }
  *ppvData = static_cast<char*>(psa->pvData) + offset * psa->cbElements;
  return S_OK;
}

// The destination is written without being cleared first: a VARIANT, BSTR or
// interface pointer it held beforehand is the caller's to release.
extern "C" HRESULT SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
  if (!psa || !rgIndices || !pv) return E_INVALIDARG;
  HRESULT hr = SafeArrayLock(psa);
  if (FAILED(hr)) return hr;
  void* cell = nullptr;
  hr = SafeArrayPtrOfIndex(psa, rgIndices, &cell);
  if (SUCCEEDED(hr)) hr = CopyCellInto(psa->fFeatures, psa->cbElements, cell, pv);
  SafeArrayUnlock(psa);
  return hr;
}

// pv points at the value, except for BSTR, VT_UNKNOWN and VT_DISPATCH arrays
// where pv is the string or interface pointer itself, as on Windows.
extern "C" HRESULT SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
  if (!psa || !rgIndices) return E_INVALIDARG;
  const bool pointerValue = (psa->fFeatures & (FADF_BSTR | FADF_UNKNOWN | FADF_DISPATCH)) != 0;
  if (!pv && !pointerValue) return E_INVALIDARG;
  HRESULT hr = SafeArrayLock(psa);
  if (FAILED(hr)) return hr;
  void* cell = nullptr;
  hr = SafeArrayPtrOfIndex(psa, rgIndices, &cell);
  if (SUCCEEDED(hr)) {
    if (psa->fFeatures & FADF_VARIANT) {
      hr = VariantCopy(static_cast<VARIANT*>(cell), static_cast<const VARIANT*>(pv));
    } else if (pointerValue) {
      void* fresh = nullptr;
      hr = CopyCellInto(psa->fFeatures, psa->cbElements, &pv, &fresh);
      if (SUCCEEDED(hr)) {
        ReleaseCell(psa->fFeatures, cell);
        std::memcpy(cell, &fresh, sizeof fresh);
      }
    } else {
      std::memcpy(cell, pv, psa->cbElements);
    }
  }
  SafeArrayUnlock(psa);
  return hr;
}

extern "C" HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut) {
  if (!ppsaOut) return E_INVALIDARG;
  *ppsaOut = nullptr;
  if (!psa) return S_OK;
  VARTYPE vt;
  HRESULT hr = SafeArrayGetVartype(psa, &vt);
  if (FAILED(hr)) return hr;
  SAFEARRAY* copy = winport::NewDescriptor(vt, psa->cDims);
  if (!copy) return E_OUTOFMEMORY;
  for (USHORT i = 0; i < psa->cDims; ++i) copy->rgsabound[i] = psa->rgsabound[i];
  hr = winport::AllocateData(copy);
  size_t count = 0;
  winport::CellCount(psa, &count);
  const char* from = static_cast<const char*>(psa->pvData);
  char* to = static_cast<char*>(copy->pvData);
  for (size_t i = 0; SUCCEEDED(hr) && i < count; ++i) {
    hr = CopyCellInto(psa->fFeatures, psa->cbElements, from + i * psa->cbElements,
                      to + i * copy->cbElements);
  }
  if (FAILED(hr)) {
    // Cells not reached are still zero, which frees as nothing.
    winport::FreeData(copy);
    winport::FreeDescriptor(copy);
    return hr;
  }
  *ppsaOut = copy;
  return S_OK;
}
