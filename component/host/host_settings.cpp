// @brief Reading the host's window and install folder, and deriving the
// component's folders from it.
#include "component/com/vivevi_vadiro.h"
#include "component/host/com_error.h"
#include "component/host/host_application.h"
#include "component/search/text_conversion.h"
#include "winport/owners.h"

namespace {

// Class contexts: in-process server and handler, local and remote server.
constexpr DWORD kHostClassContext = 23;

// The text of a VARIANT, converting it when it is not a string already.
winport::Bstr TextOf(const VARIANT* pValue) {
  winport::Variant text;
  if (V_VT(pValue) == VT_BSTR) {
    ThrowIfFailed(text.CopyFrom(pValue));
  } else {
    ThrowIfFailed(VariantChangeType(text.Get(), const_cast<VARIANT*>(pValue), 0, VT_BSTR));
  }
  winport::Bstr result = winport::Bstr::Attaching(V_BSTR(text.Get()));
  V_VT(text.Get()) = VT_EMPTY;
  return result;
}

}  // namespace

void ViveviVadiro::ReadHostSettings() {
  winport::ComPtr<IUnknown> pUnknown;
  winport::ComPtr<IHostApplication> pHost;
  HRESULT hr = CoCreateInstance(CLSID_HostApplication, nullptr, kHostClassContext, IID_IUnknown,
                                pUnknown.PutVoid());
  if (SUCCEEDED(hr) && pUnknown) {
    pUnknown.As(IID_IHostApplication, &pHost);
  }

  // A later call's interface takes the place of the earlier one, which is
  // given back rather than leaked. When the host cannot be created again, the
  // one that worked is kept with what it told, rather than leaving the
  // progress dialog without an owner.
  if (!pHost) {
    return;
  }
  m_pHost = std::move(pHost);

  LONG_PTR nWindow = 0;
  ThrowIfFailed(m_pHost->get_HostWindow(&nWindow), m_pHost.Get(), IID_IHostApplication);
  m_hwndHost = reinterpret_cast<HWND>(nWindow);

  try {
    winport::Variant value;
    winport::Variant installDir;
    ThrowIfFailed(m_pHost->GetValue(kHostValueNumber, value.Put()), m_pHost.Get(),
                  IID_IHostApplication);
    ThrowIfFailed(m_pHost->get_InstallDir(installDir.Put()), m_pHost.Get(), IID_IHostApplication);
    TextOf(value.Get());  // only its convertibility matters
    winport::Bstr sInstallDir = TextOf(installDir.Get());
    m_folders.DeriveFromInstallDir(WideToNarrow(sInstallDir.Get()));
  } catch (...) {
    // The host cannot tell: the folders keep their values.
  }
}
