// @brief The host application object and its class object.
#include "cli/host_application.h"

#include <new>
#include <utility>

#include "winport/owners.h"

namespace zvv {
namespace {

// Any text will do: the component only checks that the value converts to text.
constexpr char kHostValueText[] = "zvv terminal host";

HRESULT StoreLong(LONG* out, LONG value) {
  if (!out) return E_POINTER;
  *out = value;
  return S_OK;
}

HRESULT StoreText(VARIANT* out, const std::string& text) {
  if (!out) return E_POINTER;
  winport::Variant value(winport::Bstr::FromUtf8(text));
  if (!V_BSTR(value.Get())) return E_OUTOFMEMORY;
  VariantInit(out);
  return value.Detach(out);
}

}  // namespace

TerminalHost::TerminalHost(HostSettings settings)
    : ComObject(IID_IHostApplication), m_settings(std::move(settings)) {}

STDMETHODIMP TerminalHost::get_Width(LONG* pWidth) {
  return StoreLong(pWidth, m_settings.m_rect.right - m_settings.m_rect.left);
}
STDMETHODIMP TerminalHost::get_Height(LONG* pHeight) {
  return StoreLong(pHeight, m_settings.m_rect.bottom - m_settings.m_rect.top);
}
STDMETHODIMP TerminalHost::get_Top(LONG* pTop) { return StoreLong(pTop, m_settings.m_rect.top); }
STDMETHODIMP TerminalHost::get_Left(LONG* pLeft) {
  return StoreLong(pLeft, m_settings.m_rect.left);
}

STDMETHODIMP TerminalHost::get_HostWindow(LONG_PTR* phwnd) {
  if (!phwnd) return E_POINTER;
  *phwnd = reinterpret_cast<LONG_PTR>(m_settings.m_window);
  return S_OK;
}

STDMETHODIMP TerminalHost::get_InstallDir(VARIANT* pDir) {
  return StoreText(pDir, m_settings.m_installDir);
}

STDMETHODIMP TerminalHost::GetValue(LONG nNumber, VARIANT* pValue) {
  if (!pValue) return E_POINTER;
  if (nNumber != kHostValueNumber) return E_INVALIDARG;
  return StoreText(pValue, kHostValueText);
}

TerminalHostFactory::TerminalHostFactory(HostSettings settings)
    : ComObject(IID_IClassFactory), m_settings(std::move(settings)) {}

STDMETHODIMP TerminalHostFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (pUnkOuter) return CLASS_E_NOAGGREGATION;
  auto* host = new (std::nothrow) TerminalHost(m_settings);
  if (!host) return E_OUTOFMEMORY;
  const HRESULT hr = host->QueryInterface(riid, ppv);
  host->Release();
  return hr;
}

STDMETHODIMP TerminalHostFactory::LockServer(BOOL) { return S_OK; }

HostRegistration::~HostRegistration() { Revoke(); }

void HostRegistration::Revoke() {
  if (m_registered) CoRevokeClassObject(m_cookie);
  m_registered = false;
}

HRESULT HostRegistration::Register(const HostSettings& settings) {
  if (m_registered) return E_UNEXPECTED;
  winport::ComPtr<IClassFactory> factory;
  factory.Attach(new (std::nothrow) TerminalHostFactory(settings));
  if (!factory) return E_OUTOFMEMORY;
  const HRESULT hr = CoRegisterClassObject(CLSID_HostApplication, factory.Get(),
                                           CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                           REGCLS_MULTIPLEUSE, &m_cookie);
  m_registered = SUCCEEDED(hr);
  return hr;
}

}  // namespace zvv
