// Publishing a class object process-wide and creating through it, the
// in-process server hook, and per-thread initialisation.

#include <gtest/gtest.h>

#include <thread>

#include "winport/owners.h"
#include "winport/src/com/inproc_resolver.h"
#include "winport/tests/support/hr_assert.h"
#include "winport/tests/support/probe_unknown.h"
#include "winport/win32.h"

namespace {

using winport::ComPtr;
using winport_test::ProbeUnknown;

DEFINE_GUID(kHostClass, 0xF7EE4E9D, 0xCD64, 0x11D1, 0x8C, 0x81, 0x00, 0x60, 0x97, 0x3D, 0x09, 0x3D);
DEFINE_GUID(kHostInterface, 0xF7EE4E9C, 0xCD64, 0x11D1, 0x8C, 0x81, 0x00, 0x60, 0x97, 0x3D, 0x09,
            0x3D);
DEFINE_GUID(kOtherClass, 0x12345678, 0x1234, 0x1234, 0x12, 0x34, 0x12, 0x34, 0x56, 0x78, 0x9A,
            0xBC);

// A class object that hands out one shared application object.
class HostFactory : public IClassFactory {
 public:
  explicit HostFactory(IUnknown* app) : m_app(app) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *ppv = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return m_app->QueryInterface(riid, ppv);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
  ULONG Refs() const { return m_refs; }

 private:
  IUnknown* m_app;
  ULONG m_refs = 0;
};

TEST(ClassObjectTest, RegisteredClassIsCreatedForEveryServerContext) {
  ProbeUnknown app(kHostInterface);
  HostFactory factory(&app);
  DWORD cookie = 0;
  ASSERT_HR(S_OK, CoRegisterClassObject(kHostClass, &factory, CLSCTX_LOCAL_SERVER,
                                        REGCLS_MULTIPLEUSE, &cookie));
  EXPECT_NE(0u, cookie);
  EXPECT_EQ(1u, factory.Refs());
  {
    ComPtr<IUnknown> host;
    ASSERT_HR(S_OK, CoCreateInstance(kHostClass, nullptr, 23, IID_IUnknown, host.PutVoid()));
    EXPECT_EQ(static_cast<IUnknown*>(&app), host.Get());
    ComPtr<IUnknown> typed;
    EXPECT_HR(S_OK, host.As(kHostInterface, &typed));
    ComPtr<IUnknown> wrong;
    EXPECT_HR(E_NOINTERFACE, host.As(IID_IDispatch, &wrong));
    EXPECT_EQ(nullptr, wrong.Get());
    // Asking the factory for an interface the object lacks fails the same way.
    void* none = reinterpret_cast<void*>(0x1);
    EXPECT_HR(E_NOINTERFACE, CoCreateInstance(kHostClass, nullptr, 23, IID_IDispatch, &none));
    EXPECT_EQ(nullptr, none);
    // A context that does not include the registration's is not served.
    EXPECT_HR(REGDB_E_CLASSNOTREG,
              CoCreateInstance(kHostClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &none));
  }
  EXPECT_EQ(0u, app.Refs());
  EXPECT_EQ(1u, factory.Refs()) << "creation must give back the factory";

  ASSERT_HR(S_OK, CoRevokeClassObject(cookie));
  EXPECT_EQ(0u, factory.Refs());
  void* after = nullptr;
  EXPECT_HR(REGDB_E_CLASSNOTREG, CoCreateInstance(kHostClass, nullptr, 23, IID_IUnknown, &after));
  EXPECT_HR(E_INVALIDARG, CoRevokeClassObject(cookie));
}

TEST(ClassObjectTest, InprocRegistrationIsFoundFromAnotherThread) {
  ProbeUnknown app(kHostInterface);
  HostFactory factory(&app);
  DWORD cookie = 0;
  ASSERT_HR(S_OK, CoRegisterClassObject(kHostClass, &factory, CLSCTX_INPROC_SERVER,
                                        REGCLS_MULTIPLEUSE, &cookie));
  HRESULT created = E_FAIL;
  std::thread user([&] {
    ComPtr<IUnknown> host;
    created = CoCreateInstance(kHostClass, nullptr, CLSCTX_ALL, kHostInterface, host.PutVoid());
  });
  user.join();
  EXPECT_HR(S_OK, created);
  EXPECT_HR(S_OK, CoRevokeClassObject(cookie));
}

TEST(ClassObjectTest, ArgumentChecks) {
  ProbeUnknown app;
  DWORD cookie = 7;
  EXPECT_HR(E_INVALIDARG, CoRegisterClassObject(kHostClass, nullptr, CLSCTX_LOCAL_SERVER,
                                                REGCLS_MULTIPLEUSE, &cookie));
  EXPECT_HR(E_INVALIDARG, CoRegisterClassObject(kHostClass, &app, 0, REGCLS_MULTIPLEUSE, &cookie));
  EXPECT_EQ(0u, app.Refs());
  EXPECT_HR(E_POINTER, CoCreateInstance(kHostClass, nullptr, 23, IID_IUnknown, nullptr));
  EXPECT_HR(E_INVALIDARG, CoGetClassObject(kHostClass, 23, nullptr, IID_IUnknown, nullptr));
}

HRESULT ResolveOther(REFCLSID clsid, REFIID riid, void** ppv) {
  static ProbeUnknown other;
  static HostFactory factory(&other);
  if (clsid != kOtherClass) return REGDB_E_CLASSNOTREG;
  return factory.QueryInterface(riid, ppv);
}

TEST(ClassObjectTest, UnknownClassesGoToTheInprocResolver) {
  void* object = nullptr;
  EXPECT_HR(REGDB_E_CLASSNOTREG, CoCreateInstance(kOtherClass, nullptr, 23, IID_IUnknown, &object));
  const winport::InprocServerResolver previous = winport::SetInprocServerResolver(ResolveOther);
  ComPtr<IUnknown> created;
  EXPECT_HR(S_OK, CoCreateInstance(kOtherClass, nullptr, 23, IID_IUnknown, created.PutVoid()));
  EXPECT_NE(nullptr, created.Get());
  // Only in-process contexts reach the resolver.
  EXPECT_HR(REGDB_E_CLASSNOTREG,
            CoCreateInstance(kOtherClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, &object));
  created.Reset();
  winport::SetInprocServerResolver(previous);
}

TEST(ApartmentTest, CountsPerThreadAndRefusesAChangeOfModel) {
  std::thread worker([] {
    EXPECT_HR(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    EXPECT_HR(S_FALSE, CoInitialize(nullptr));
    EXPECT_HR(RPC_E_CHANGED_MODE, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    CoUninitialize();
    CoUninitialize();
    // Fully uninitialised: the thread may choose again.
    EXPECT_HR(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    CoUninitialize();
    EXPECT_HR(E_INVALIDARG, CoInitializeEx(reinterpret_cast<void*>(1), 0));
  });
  worker.join();
}

}  // namespace
