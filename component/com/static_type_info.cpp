// @brief The static description of IViveviVadiro for dispatch without a
// registered type library.
#include "component/com/ivivevi_vadiro.h"
#include "component/com/type_info_holder.h"

namespace {

// Method-table slots after QueryInterface, AddRef, Release, GetTypeInfoCount,
// GetTypeInfo, GetIDsOfNames and Invoke.
enum Slot : UINT {
  kSlotFind = 7,
  kSlotGetOffsets,
  kSlotGetAutoRefresh,
  kSlotPutAutoRefresh,
  kSlotInitialize
};

OLECHAR kNameFind[] = OLESTR("Find");
OLECHAR kNameGetOffsets[] = OLESTR("GetOffsets");
OLECHAR kNameAutoRefresh[] = OLESTR("AutoRefresh");
OLECHAR kNameInitialize[] = OLESTR("Initialize");
OLECHAR kNameSearchString[] = OLESTR("sSearchString");
OLECHAR kNameSearchDirs[] = OLESTR("pSearchDirs");
OLECHAR kNameTitleOnly[] = OLESTR("bTitleOnly");
OLECHAR kNameResults[] = OLESTR("pResults");
OLECHAR kNameDocName[] = OLESTR("sDocName");
OLECHAR kNameVal[] = OLESTR("pVal");
OLECHAR kNameNewVal[] = OLESTR("newVal");
OLECHAR kNameShowUI[] = OLESTR("bShowUI");

PARAMDATA kFindParams[] = {{kNameSearchString, VT_BSTR},
                           {kNameSearchDirs, VT_VARIANT | VT_BYREF},
                           {kNameTitleOnly, VT_I4},
                           {kNameResults, VT_VARIANT | VT_BYREF}};
PARAMDATA kGetOffsetsParams[] = {{kNameDocName, VT_BSTR}, {kNameResults, VT_VARIANT | VT_BYREF}};
PARAMDATA kGetAutoRefreshParams[] = {{kNameVal, VT_I4 | VT_BYREF}};
PARAMDATA kPutAutoRefreshParams[] = {{kNameNewVal, VT_I4}};
PARAMDATA kInitializeParams[] = {{kNameShowUI, VT_I4}};

METHODDATA kMethods[] = {
    {kNameFind, kFindParams, kDispIdFind, kSlotFind, CC_STDCALL, 4, DISPATCH_METHOD, VT_HRESULT},
    {kNameGetOffsets, kGetOffsetsParams, kDispIdGetOffsets, kSlotGetOffsets, CC_STDCALL, 2,
     DISPATCH_METHOD, VT_HRESULT},
    {kNameAutoRefresh, kGetAutoRefreshParams, kDispIdAutoRefresh, kSlotGetAutoRefresh, CC_STDCALL,
     1, DISPATCH_PROPERTYGET, VT_HRESULT},
    {kNameAutoRefresh, kPutAutoRefreshParams, kDispIdAutoRefresh, kSlotPutAutoRefresh, CC_STDCALL,
     1, DISPATCH_PROPERTYPUT, VT_HRESULT},
    {kNameInitialize, kInitializeParams, kDispIdInitialize, kSlotInitialize, CC_STDCALL, 1,
     DISPATCH_METHOD, VT_HRESULT},
};

INTERFACEDATA kInterface = {kMethods, sizeof kMethods / sizeof kMethods[0]};

}  // namespace

HRESULT StaticViveviVadiroTypeInfo(LCID lcid, ITypeInfo** ppTInfo) {
  return CreateDispTypeInfo(&kInterface, lcid, ppTInfo);
}
