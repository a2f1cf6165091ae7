// @brief The class object that makes ViveviVadiro objects, and the module's
// activation exports.
#pragma once

#include "winport/com_object.h"
#include "winport/win32.h"

#ifdef _WIN32
#define ZVV_EXPORT extern "C" __declspec(dllexport)
#else
#define ZVV_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Starts with one reference, the module's cache's; a client that holds the
// class object besides the cache keeps the module loaded.
class ViveviVadiroClassFactory final : public winport::ComObject<IClassFactory> {
 public:
  ViveviVadiroClassFactory() : ComObject(IID_IClassFactory) {}
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override;
  STDMETHODIMP LockServer(BOOL fLock) override;
};

// Releases the cached class object; the module calls it when it unloads.
void ReleaseCachedClassObjects();

ZVV_EXPORT HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
ZVV_EXPORT HRESULT STDAPICALLTYPE DllCanUnloadNow();
