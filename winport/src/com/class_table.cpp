// The process-wide table of class objects and creation through it.
//
// A host process publishes its application object with CoRegisterClassObject
// and a component loaded into the same process creates it with
// CoCreateInstance. With no separate server processes, a registered class is
// found whenever the requested context shares a bit with the context it was
// registered with; classes the table does not hold go to the in-process
// server resolver.

#include <atomic>
#include <mutex>
#include <vector>

#include "winport/src/com/inproc_resolver.h"
#include "winport/win32.h"

namespace {

constexpr DWORD kServerContexts =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;

struct Registration {
  DWORD cookie;
  CLSID clsid;
  IUnknown* object;  // one reference held while registered
  DWORD context;
};

struct ClassTable {
  std::mutex lock;
  std::vector<Registration> entries;
  DWORD nextCookie = 1;
};

ClassTable& Table() {
  // Never destroyed: objects may be revoked from static destructors.
  static ClassTable* table = new ClassTable;
  return *table;
}

std::atomic<winport::InprocServerResolver> g_resolver{nullptr};

// Returns the registered object for clsid with a reference added, or null.
IUnknown* FindRegistered(REFCLSID clsid, DWORD context) {
  ClassTable& t = Table();
  std::lock_guard<std::mutex> hold(t.lock);
  for (const Registration& r : t.entries) {
    if ((r.context & context) != 0 && IsEqualCLSID(r.clsid, clsid)) {
      r.object->AddRef();
      return r.object;
    }
  }
  return nullptr;
}

}  // namespace

namespace winport {

InprocServerResolver SetInprocServerResolver(InprocServerResolver resolver) {
  return g_resolver.exchange(resolver);
}

}  // namespace winport

// Divergence: REGCLS flags are accepted but every registration behaves as
// REGCLS_MULTIPLEUSE; a suspended registration is active at once.
extern "C" HRESULT CoRegisterClassObject(REFCLSID rclsid, LPUNKNOWN pUnk, DWORD dwClsContext,
                                         DWORD flags, LPDWORD lpdwRegister) {
  if (!pUnk || !lpdwRegister) return E_INVALIDARG;
  *lpdwRegister = 0;
  if ((dwClsContext & kServerContexts) == 0) return E_INVALIDARG;
  ClassTable& t = Table();
  pUnk->AddRef();
  std::lock_guard<std::mutex> hold(t.lock);
  const DWORD cookie = t.nextCookie++;
  t.entries.push_back(Registration{cookie, rclsid, pUnk, dwClsContext});
  *lpdwRegister = cookie;
  return S_OK;
}

extern "C" HRESULT CoRevokeClassObject(DWORD dwRegister) {
  ClassTable& t = Table();
  IUnknown* released = nullptr;
  {
    std::lock_guard<std::mutex> hold(t.lock);
    for (auto it = t.entries.begin(); it != t.entries.end(); ++it) {
      if (it->cookie == dwRegister) {
        released = it->object;
        t.entries.erase(it);
        break;
      }
    }
  }
  if (!released) return E_INVALIDARG;
  // Released outside the lock: the object's teardown may use the table.
  released->Release();
  return S_OK;
}

// Divergence: pServerInfo (remote activation) is ignored.
extern "C" HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, COSERVERINFO* pServerInfo,
                                    REFIID riid, LPVOID* ppv) {
  if (!ppv) return E_INVALIDARG;
  *ppv = nullptr;
  if ((dwClsContext & kServerContexts) == 0) return E_INVALIDARG;
  if (IUnknown* registered = FindRegistered(rclsid, dwClsContext)) {
    const HRESULT hr = registered->QueryInterface(riid, ppv);
    registered->Release();
    return hr;
  }
  const winport::InprocServerResolver resolver = g_resolver.load();
  if (resolver && (dwClsContext & (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)) != 0) {
    return resolver(rclsid, riid, ppv);
  }
  return REGDB_E_CLASSNOTREG;
}

extern "C" HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext,
                                    REFIID riid, LPVOID* ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  IClassFactory* factory = nullptr;
  HRESULT hr = CoGetClassObject(rclsid, dwClsContext, nullptr, IID_IClassFactory,
                                reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(pUnkOuter, riid, ppv);
  factory->Release();
  if (FAILED(hr)) *ppv = nullptr;
  return hr;
}
