// @brief Type information through LoadRegTypeLib.
#include "component/com/registered_type_info.h"

#include "component/com/ivivevi_vadiro.h"
#include "component/com/type_info_holder.h"

HRESULT RegisteredViveviVadiroTypeInfo(LCID lcid, ITypeInfo** ppTInfo) {
  if (!ppTInfo) {
    return E_POINTER;
  }
  *ppTInfo = nullptr;
  ITypeLib* pTypeLib = nullptr;
  HRESULT hr = LoadRegTypeLib(LIBID_ZOVIVEVIVADIROLib, kTypeLibMajorVersion, kTypeLibMinorVersion,
                              lcid, &pTypeLib);
  if (SUCCEEDED(hr)) {
    hr = pTypeLib->GetTypeInfoOfGuid(IID_IViveviVadiro, ppTInfo);
    pTypeLib->Release();
  }
  if (SUCCEEDED(hr)) {
    return hr;
  }
  return StaticViveviVadiroTypeInfo(lcid, ppTInfo);
}
