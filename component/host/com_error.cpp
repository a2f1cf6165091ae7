// @brief Raising a ComError with the host's own description of the failure.
#include "component/host/com_error.h"

#include <cstdio>

#include "component/search/text_conversion.h"
#include "winport/owners.h"

namespace {

// The description the source left for its failure; "" when it leaves none.
// An object that does not say it describes its failures may have left the
// thread's slot holding someone else's error, so the slot is read only after
// it has said so.
std::string SourceDescription(IUnknown* pSource, REFIID riid) {
  winport::ComPtr<ISupportErrorInfo> pSupport;
  if (!pSource || FAILED(pSource->QueryInterface(IID_ISupportErrorInfo, pSupport.PutVoid())) ||
      !pSupport || pSupport->InterfaceSupportsErrorInfo(riid) != S_OK) {
    return {};
  }
  winport::ComPtr<IErrorInfo> pInfo;
  winport::Bstr sText;
  if (GetErrorInfo(0, pInfo.Put()) != S_OK || !pInfo ||
      FAILED(pInfo->GetDescription(sText.Put()))) {
    return {};
  }
  return WideToNarrow(sText.Get());
}

}  // namespace

void ThrowIfFailed(HRESULT hr, IUnknown* pSource, REFIID riid) {
  if (SUCCEEDED(hr)) {
    return;
  }
  char sCode[32];
  std::snprintf(sCode, sizeof sCode, " (0x%08X)", static_cast<unsigned>(hr));
  std::string sDescription = "host application call failed";
  const std::string sHostText = SourceDescription(pSource, riid);
  if (!sHostText.empty()) {
    sDescription += ": " + sHostText;
  }
  throw ComError(hr, sDescription + sCode);
}
