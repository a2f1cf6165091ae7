// Tests of the class object, the activation exports, identity and dispatch.
#include <gtest/gtest.h>

#include "component/com/class_factory.h"
#include "component/com/ivivevi_vadiro.h"
#include "winport/com_object.h"
#include "component/com/vivevi_vadiro.h"
#include "winport/owners.h"
#include "winport/tests/support/hr_assert.h"

namespace {

// {00000000-0000-0000-0000-0000000000AB}: a class and interface nobody has.
constexpr GUID kUnknownGuid = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0xAB}};

winport::ComPtr<IClassFactory> ClassObject() {
  winport::ComPtr<IClassFactory> factory;
  EXPECT_HR(S_OK, DllGetClassObject(CLSID_ViveviVadiro, IID_IClassFactory, factory.PutVoid()));
  return factory;
}

TEST(DllGetClassObjectTest, AnswersOnlyForTheComponentsClass) {
  void* pv = reinterpret_cast<void*>(1);
  EXPECT_HR(CLASS_E_CLASSNOTAVAILABLE, DllGetClassObject(kUnknownGuid, IID_IClassFactory, &pv));
  EXPECT_EQ(pv, nullptr);
  EXPECT_HR(E_POINTER, DllGetClassObject(CLSID_ViveviVadiro, IID_IClassFactory, nullptr));
  EXPECT_HR(E_NOINTERFACE, DllGetClassObject(CLSID_ViveviVadiro, kUnknownGuid, &pv));
}

TEST(DllGetClassObjectTest, HandsOutOneCachedClassObject) {
  winport::ComPtr<IClassFactory> first = ClassObject();
  winport::ComPtr<IClassFactory> second = ClassObject();
  EXPECT_EQ(first.Get(), second.Get());
}

TEST(DllCanUnloadNowTest, FollowsLiveObjectsServerLocksAndHeldClassObjects) {
  ASSERT_HR(S_OK, DllCanUnloadNow());
  {
    winport::ComPtr<IClassFactory> factory = ClassObject();
    EXPECT_HR(S_FALSE, DllCanUnloadNow());  // a client holds the class object
    winport::ComPtr<IViveviVadiro> object;
    ASSERT_HR(S_OK, factory->CreateInstance(nullptr, IID_IViveviVadiro, object.PutVoid()));
    factory.Reset();
    EXPECT_HR(S_FALSE, DllCanUnloadNow());  // a live object
    object.Reset();
    EXPECT_HR(S_OK, DllCanUnloadNow());
  }
  winport::ComPtr<IClassFactory> factory = ClassObject();
  EXPECT_HR(S_OK, factory->LockServer(TRUE));
  factory.Reset();
  EXPECT_HR(S_FALSE, DllCanUnloadNow());
  EXPECT_HR(S_OK, ClassObject()->LockServer(FALSE));
  EXPECT_HR(S_OK, DllCanUnloadNow());
}

TEST(CreateInstanceTest, ChecksItsArguments) {
  winport::ComPtr<IClassFactory> factory = ClassObject();
  EXPECT_HR(E_POINTER, factory->CreateInstance(nullptr, IID_IUnknown, nullptr));
  void* pv = reinterpret_cast<void*>(1);
  EXPECT_HR(E_NOINTERFACE, factory->CreateInstance(nullptr, kUnknownGuid, &pv));
  EXPECT_EQ(pv, nullptr);
}

// A controlling object that aggregates the component.
class Outer final : public IUnknown {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (IsEqualIID(riid, IID_IUnknown)) {
      return winport::AnswerQueryInterface(this, riid, ppv, {});
    }
    return m_inner ? m_inner->QueryInterface(riid, ppv) : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_cRef; }
  STDMETHODIMP_(ULONG) Release() override { return --m_cRef; }
  winport::ComPtr<IUnknown> m_inner;
  ULONG m_cRef = 1;
};

TEST(CreateInstanceTest, AggregatesOnlyThroughIUnknown) {
  winport::ComPtr<IClassFactory> factory = ClassObject();
  Outer outer;
  void* pv = nullptr;
  EXPECT_HR(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IViveviVadiro, &pv));
  ASSERT_HR(S_OK, factory->CreateInstance(&outer, IID_IUnknown, outer.m_inner.PutVoid()));

  // The component's own interface delegates its identity to the outer object.
  winport::ComPtr<IViveviVadiro> viaOuter;
  ASSERT_HR(S_OK, outer.QueryInterface(IID_IViveviVadiro, viaOuter.PutVoid()));
  IUnknown* pIdentity = nullptr;
  ASSERT_HR(S_OK, viaOuter->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&pIdentity)));
  EXPECT_EQ(pIdentity, &outer);
  pIdentity->Release();
  EXPECT_EQ(outer.m_cRef, 2u);  // the interface reference counts on the outer object
  viaOuter.Reset();
  outer.m_inner.Reset();
  factory.Reset();
  EXPECT_HR(S_OK, DllCanUnloadNow());
}

TEST(ComponentIdentityTest, AnswersItsThreeInterfacesOnOnePointer) {
  winport::ComPtr<IViveviVadiro> object;
  ASSERT_HR(S_OK, ClassObject()->CreateInstance(nullptr, IID_IViveviVadiro, object.PutVoid()));
  for (const IID* pIid : {&IID_IUnknown, &IID_IDispatch, &IID_IViveviVadiro}) {
    void* pv = nullptr;
    ASSERT_HR(S_OK, object->QueryInterface(*pIid, &pv));
    EXPECT_EQ(pv, object.Get());
    object->Release();
  }
  void* pv = reinterpret_cast<void*>(1);
  EXPECT_HR(E_NOINTERFACE, object->QueryInterface(kUnknownGuid, &pv));
  EXPECT_EQ(pv, nullptr);
  EXPECT_HR(E_POINTER, object->QueryInterface(IID_IUnknown, nullptr));
}

TEST(GetOffsetsTest, IsNotProvidedAndChecksItsArguments) {
  winport::ComPtr<ViveviVadiro> object(new ViveviVadiro);
  winport::Bstr name(u"page.htm");
  winport::Variant results(5);
  EXPECT_HR(E_NOTIMPL, object->GetOffsets(name.Get(), results.Get()));
  EXPECT_HR(E_INVALIDARG, object->GetOffsets(nullptr, results.Get()));
  EXPECT_HR(E_INVALIDARG, object->GetOffsets(name.Get(), nullptr));
  EXPECT_HR(E_INVALIDARG, object->GetOffsets(nullptr, nullptr));
  EXPECT_EQ(V_VT(results.Get()), VT_I4);
}

TEST(DispatchTest, ReachesTheMembersByNameAndDispatchId) {
  winport::ComPtr<IViveviVadiro> object;
  ASSERT_HR(S_OK, ClassObject()->CreateInstance(nullptr, IID_IDispatch, object.PutVoid()));
  UINT nCount = 0;
  EXPECT_HR(S_OK, object->GetTypeInfoCount(&nCount));
  EXPECT_EQ(nCount, 1u);
  EXPECT_HR(E_POINTER, object->GetTypeInfo(0, 0, nullptr));

  struct Name {
    const char16_t* sName;
    DISPID id;
  } names[] = {{u"Find", 1}, {u"GetOffsets", 2}, {u"AutoRefresh", 3}, {u"initialize", 4}};
  for (const Name& n : names) {
    OLECHAR* pName = const_cast<OLECHAR*>(n.sName);
    DISPID id = 0;
    EXPECT_HR(S_OK, object->GetIDsOfNames(IID_NULL, &pName, 1, 0, &id));
    EXPECT_EQ(id, n.id);
  }

  // put AutoRefresh = 0 through Invoke: the property was false, nothing to do.
  winport::Variant value(0);
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS put = {value.Get(), &putId, 1, 1};
  EXPECT_HR(S_OK,
            object->Invoke(3, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr));
  winport::Variant got;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  EXPECT_HR(S_OK, object->Invoke(3, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, got.Get(), nullptr,
                                 nullptr));
  EXPECT_EQ(V_VT(got.Get()), VT_I4);
  EXPECT_EQ(V_I4(got.Get()), 0);

  // Find by dispatch before Initialize fails as the method does.
  EXPECT_NE(object->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
            S_OK);
}

}  // namespace
