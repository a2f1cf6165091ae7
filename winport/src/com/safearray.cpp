// SAFEARRAY creation, destruction, bounds and locking.
//
// Dimension n (1-based, as the API counts) is described by
// rgsabound[cDims - n]: the descriptor keeps the bounds in the reverse of the
// order SafeArrayCreate receives them, as Windows does.

#include <atomic>

#include "winport/src/com/safearray_layout.h"
#include "winport/win32.h"

namespace {

// Windows caps the lock count at this value.
constexpr ULONG kMaxLocks = 65535;

const SAFEARRAYBOUND* Dimension(SAFEARRAY* psa, UINT nDim) {
  if (nDim == 0 || nDim > psa->cDims) return nullptr;
  return &psa->rgsabound[psa->cDims - nDim];
}

}  // namespace

// Null for an element type that cannot be stored (VT_EMPTY, VT_NULL and,
// unlike Windows, VT_RECORD), for no dimensions, or when memory runs out.
extern "C" SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound) {
  if (!rgsabound) return nullptr;
  SAFEARRAY* psa = winport::NewDescriptor(vt, cDims);
  if (!psa) return nullptr;
  for (UINT i = 0; i < cDims; ++i) psa->rgsabound[cDims - 1 - i] = rgsabound[i];
  if (FAILED(winport::AllocateData(psa))) {
    winport::FreeDescriptor(psa);
    return nullptr;
  }
  return psa;
}

extern "C" SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements) {
  SAFEARRAYBOUND bound{cElements, lLbound};
  return SafeArrayCreate(vt, 1, &bound);
}

extern "C" HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
  if (!psa) return S_OK;
  if (psa->cLocks > 0) return DISP_E_ARRAYISLOCKED;
  winport::FreeData(psa);
  winport::FreeDescriptor(psa);
  return S_OK;
}

extern "C" UINT SafeArrayGetDim(SAFEARRAY* psa) { return psa ? psa->cDims : 0; }

extern "C" UINT SafeArrayGetElemsize(SAFEARRAY* psa) { return psa ? psa->cbElements : 0; }

extern "C" HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound) {
  if (!psa || !plLbound) return E_INVALIDARG;
  const SAFEARRAYBOUND* bound = Dimension(psa, nDim);
  if (!bound) return DISP_E_BADINDEX;
  *plLbound = bound->lLbound;
  return S_OK;
}

// An empty dimension has an upper bound one below its lower bound.
extern "C" HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound) {
  if (!psa || !plUbound) return E_INVALIDARG;
  const SAFEARRAYBOUND* bound = Dimension(psa, nDim);
  if (!bound) return DISP_E_BADINDEX;
  *plUbound = static_cast<LONG>(static_cast<int64_t>(bound->lLbound) + bound->cElements - 1);
  return S_OK;
}

extern "C" HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt) {
  if (!psa || !pvt) return E_INVALIDARG;
  if (psa->fFeatures & FADF_HAVEVARTYPE) {
    *pvt = winport::StoredVartype(psa);
  } else if (psa->fFeatures & FADF_BSTR) {
    *pvt = VT_BSTR;
  } else if (psa->fFeatures & FADF_VARIANT) {
    *pvt = VT_VARIANT;
  } else if (psa->fFeatures & FADF_UNKNOWN) {
    *pvt = VT_UNKNOWN;
  } else if (psa->fFeatures & FADF_DISPATCH) {
    *pvt = VT_DISPATCH;
  } else {
    return E_INVALIDARG;
  }
  return S_OK;
}

namespace {

// The lock count changes atomically, so threads that share an array may lock
// it at the same time.
HRESULT StepLockCount(SAFEARRAY* psa, int step) {
  if (!psa) return E_INVALIDARG;
  std::atomic_ref<ULONG> locks(psa->cLocks);
  ULONG now = locks.load();
  do {
    if ((step > 0 && now >= kMaxLocks) || (step < 0 && now == 0)) return E_UNEXPECTED;
  } while (!locks.compare_exchange_weak(now, now + step));
  return S_OK;
}

}  // namespace

extern "C" HRESULT SafeArrayLock(SAFEARRAY* psa) { return StepLockCount(psa, 1); }

extern "C" HRESULT SafeArrayUnlock(SAFEARRAY* psa) { return StepLockCount(psa, -1); }

extern "C" HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData) {
  if (!psa || !ppvData) return E_INVALIDARG;
  const HRESULT hr = SafeArrayLock(psa);
  *ppvData = SUCCEEDED(hr) ? psa->pvData : nullptr;
  return hr;
}

extern "C" HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) { return SafeArrayUnlock(psa); }
