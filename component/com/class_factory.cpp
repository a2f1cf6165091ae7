// @brief The class object, its cache and the activation exports.
#include "component/com/class_factory.h"

#include <mutex>
#include <new>

#include "component/com/ivivevi_vadiro.h"
#include "component/com/module_lock.h"
#include "component/com/vivevi_vadiro.h"

namespace {
std::mutex g_classObjectLock;
ViveviVadiroClassFactory* g_pClassObject = nullptr;

// Gives back the cached class object when the module is unloaded.
struct ModuleUnload {
  ~ModuleUnload() { ReleaseCachedClassObjects(); }
} g_moduleUnload;
}  // namespace

STDMETHODIMP_(ULONG) ViveviVadiroClassFactory::AddRef() {
  const ULONG n = ComObject::AddRef();
  if (n == 2) {
    LockModule();
  }
  return n;
}

STDMETHODIMP_(ULONG) ViveviVadiroClassFactory::Release() {
  const ULONG n = ComObject::Release();  // deletes the object at zero
  if (n == 1) {
    UnlockModule();
  }
  return n;
}

STDMETHODIMP ViveviVadiroClassFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid,
                                                      void** ppv) {
  if (!ppv) {
    return E_POINTER;
  }
  *ppv = nullptr;
  if (pUnkOuter && !IsEqualIID(riid, IID_IUnknown)) {
    return CLASS_E_NOAGGREGATION;
  }
  try {
    auto* pObject = new (std::nothrow) ViveviVadiro(pUnkOuter);
    if (!pObject) {
      return E_OUTOFMEMORY;
    }
    // The inner unknown answers for the object itself; a first reference is
    // taken and given back so that a failed query destroys the object.
    IUnknown* pInner = pObject->InnerUnknown();
    pInner->AddRef();
    HRESULT hr = pInner->QueryInterface(riid, ppv);
    pInner->Release();
    return hr;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

STDMETHODIMP ViveviVadiroClassFactory::LockServer(BOOL fLock) {
  if (fLock) {
    LockModule();
  } else {
    UnlockModule();
  }
  return S_OK;
}

void ReleaseCachedClassObjects() {
  std::lock_guard<std::mutex> guard(g_classObjectLock);
  if (g_pClassObject) {
    g_pClassObject->Release();
  }
  g_pClassObject = nullptr;
}

ZVV_EXPORT HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  if (!ppv) {
    return E_POINTER;
  }
  *ppv = nullptr;
  if (!IsEqualCLSID(rclsid, CLSID_ViveviVadiro)) {
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  try {
    std::lock_guard<std::mutex> guard(g_classObjectLock);
    if (!g_pClassObject) {
      auto* pFactory = new (std::nothrow) ViveviVadiroClassFactory;
      if (!pFactory) {
        return E_OUTOFMEMORY;
      }
      g_pClassObject = pFactory;  // its first reference is the cache's
    }
    return g_pClassObject->QueryInterface(riid, ppv);
  } catch (...) {
    return E_FAIL;
  }
}

ZVV_EXPORT HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return ModuleLockCount() == 0 ? S_OK : S_FALSE;
}
