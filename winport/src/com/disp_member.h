// @brief One member of an interface described for late binding, and the call
// that reaches it through the object's method table.
#pragma once

#include <string>
#include <vector>

#include "winport/win32.h"

namespace winport {

struct DispParam {
  std::u16string name;
  VARTYPE vt;
};

struct DispMember {
  std::u16string name;
  DISPID dispid;
  UINT slot;  // index in the method table
  CALLCONV cc;
  WORD kind;       // DISPATCH_METHOD, _PROPERTYGET, _PROPERTYPUT or _PROPERTYPUTREF
  VARTYPE result;  // VT_HRESULT, VT_VOID or a value type returned directly
  std::vector<DispParam> params;
};

// Whether a parameter or a result of this type can be passed to and from a
// member; the call supports integers, reals, strings, interfaces, arrays,
// VARIANTs by value and pointers to any of them.
bool IsCallableParamType(VARTYPE vt);
bool IsCallableResultType(VARTYPE vt);

// Calls member on instance with the caller's arguments (last parameter
// first). The member has been chosen for the call's flags already. When the
// member itself fails and the caller gave pExcepInfo, the failure is
// described there (its code in scode, the texts from the thread's error
// object) and the call returns DISP_E_EXCEPTION; without pExcepInfo the
// member's code is returned as it stands.
[[nodiscard]] HRESULT InvokeMember(void* instance, const DispMember& member, WORD wFlags,
                                   DISPPARAMS* params, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                   UINT* puArgErr);

}  // namespace winport
