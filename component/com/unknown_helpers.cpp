// @brief Shared IUnknown plumbing and the module lock count.
#include "component/com/unknown_helpers.h"

namespace {
LONG volatile g_nModuleLocks = 0;
}  // namespace

HRESULT AnswerQueryInterface(IUnknown* pSelf, REFIID riid, void** ppv,
                             std::initializer_list<const IID*> ids) {
  if (!ppv) {
    return E_POINTER;
  }
  *ppv = nullptr;
  bool bKnown = IsEqualIID(riid, IID_IUnknown);
  for (const IID* pId : ids) {
    bKnown = bKnown || IsEqualIID(riid, *pId);
  }
  if (!bKnown) {
    return E_NOINTERFACE;
  }
  *ppv = pSelf;
  pSelf->AddRef();
  return S_OK;
}

void LockModule() { InterlockedIncrement(&g_nModuleLocks); }
void UnlockModule() { InterlockedDecrement(&g_nModuleLocks); }
LONG ModuleLockCount() { return InterlockedCompareExchange(&g_nModuleLocks, 0, 0); }
