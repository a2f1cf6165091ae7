// @brief The fake host application object and its class object.
#include "component/tests/support/fake_host.h"

#include "winport/com_object.h"
#include "winport/owners.h"

// Answers from the script as it was when the object was made.
class FakeHostObject final : public winport::ComObject<HostApplicationStub>,
                             public ISupportErrorInfo {
 public:
  explicit FakeHostObject(FakeHost& host)
      : ComObject(IID_IHostApplication), m_script(host.script), m_pHost(host.m_pSelf) {
    ++host.nLive;
  }
  ~FakeHostObject() override {
    if (*m_pHost) {
      --(*m_pHost)->nLive;
    }
  }

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (m_script.bLacksInterface) {
      return winport::AnswerQueryInterface(static_cast<HostApplicationStub*>(this), riid, ppv, {});
    }
    if (IsEqualIID(riid, IID_ISupportErrorInfo) && !m_script.sWindowError.empty()) {
      return winport::AnswerInterface(static_cast<ISupportErrorInfo*>(this), ppv);
    }
    return ComObject::QueryInterface(riid, ppv);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ComObject::AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return ComObject::Release(); }
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID riid) override {
    return IsEqualIID(riid, IID_IHostApplication) ? S_OK : S_FALSE;
  }
  STDMETHODIMP get_Width(LONG* p) override { return Answer(p, m_script.nWidth); }
  STDMETHODIMP get_Height(LONG* p) override { return Answer(p, m_script.nHeight); }
  STDMETHODIMP get_Top(LONG* p) override { return Answer(p, m_script.nTop); }
  STDMETHODIMP get_Left(LONG* p) override { return Answer(p, m_script.nLeft); }
  STDMETHODIMP get_HostWindow(LONG_PTR* p) override {
    if (FAILED(m_script.hrWindow)) {
      if (!m_script.sWindowError.empty()) {
        winport::ComPtr<ICreateErrorInfo> pCreate;
        winport::ComPtr<IErrorInfo> pInfo;
        CreateErrorInfo(pCreate.Put());
        pCreate->SetDescription(const_cast<LPOLESTR>(m_script.sWindowError.c_str()));
        pCreate.As(IID_IErrorInfo, &pInfo);
        SetErrorInfo(0, pInfo.Get());
      }
      return m_script.hrWindow;
    }
    *p = m_script.nWindow;
    return S_OK;
  }
  STDMETHODIMP get_InstallDir(VARIANT* p) override {
    if (FAILED(m_script.hrInstallDir)) {
      return m_script.hrInstallDir;
    }
    VariantInit(p);
    if (m_script.bInstallDirAsNumber) {
      V_VT(p) = VT_I4;
      V_I4(p) = 42;
    } else {
      V_VT(p) = VT_BSTR;
      V_BSTR(p) = SysAllocString(m_script.sInstallDir.c_str());
    }
    return S_OK;
  }
  STDMETHODIMP GetValue(LONG nNumber, VARIANT* p) override {
    if (*m_pHost) {
      (*m_pHost)->nLastValueNumber = nNumber;
    }
    if (FAILED(m_script.hrValue)) {
      return m_script.hrValue;
    }
    VariantInit(p);
    if (m_script.bValueUnconvertible) {
      // An interface pointer with no default value has no text.
      V_VT(p) = VT_UNKNOWN;
      V_UNKNOWN(p) = nullptr;
    } else {
      V_VT(p) = VT_I4;
      V_I4(p) = 7;
    }
    return S_OK;
  }

 private:
  static HRESULT Answer(LONG* p, LONG value) {
    *p = value;
    return S_OK;
  }
  const FakeHostScript m_script;
  std::shared_ptr<FakeHost*> m_pHost;
};

struct FakeHost::Factory final : public winport::ComObject<IClassFactory> {
  explicit Factory(FakeHost& host) : ComObject(IID_IClassFactory), m_host(host) {}
  STDMETHODIMP CreateInstance(IUnknown* pOuter, REFIID riid, void** ppv) override {
    if (pOuter) {
      return CLASS_E_NOAGGREGATION;
    }
    auto* pObject = new FakeHostObject(m_host);  // holding the first reference
    ++m_host.nCreated;
    HRESULT hr = pObject->QueryInterface(riid, ppv);
    pObject->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
  FakeHost& m_host;
};

FakeHost::FakeHost(FakeHostScript s)
    : script(std::move(s)),
      m_pSelf(std::make_shared<FakeHost*>(this)),
      m_pFactory(new Factory(*this)) {
  CoRegisterClassObject(CLSID_HostApplication, m_pFactory, CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                        &m_dwRegister);
}

FakeHost::~FakeHost() {
  *m_pSelf = nullptr;
  CoRevokeClassObject(m_dwRegister);
  m_pFactory->Release();
}
