// @brief The error object of a failing interface call.
#include "component/host/error_report.h"

#include "component/com/ivivevi_vadiro.h"
#include "component/search/text_conversion.h"
#include "winport/owners.h"

HRESULT ReportError(HRESULT hr, const std::string& sDescription) {
  try {
    winport::ComPtr<ICreateErrorInfo> pCreate;
    if (FAILED(CreateErrorInfo(pCreate.Put()))) {
      return hr;
    }
    WideString sSource = NarrowToWide(kErrorSource);
    WideString sWide = NarrowToWide(sDescription.c_str());
    pCreate->SetGUID(IID_IViveviVadiro);
    pCreate->SetSource(sSource.data());
    pCreate->SetDescription(sWide.data());
    winport::ComPtr<IErrorInfo> pInfo;
    if (SUCCEEDED(pCreate.As(IID_IErrorInfo, &pInfo))) {
      SetErrorInfo(0, pInfo.Get());
    }
  } catch (...) {
    // Out of memory for the text: the code alone still tells the failure.
  }
  return hr;
}

STDMETHODIMP ErrorInfoSupport::InterfaceSupportsErrorInfo(REFIID riid) {
  return IsEqualIID(riid, IID_IViveviVadiro) || IsEqualIID(riid, IID_IDispatch) ? S_OK : S_FALSE;
}
