// VARIANT lifetime: initialising, clearing and copying.
//
// A VARIANT owns its BSTR, its array (and through it the array's elements) and
// one reference to its interface; it owns nothing behind VT_BYREF.

#include <cstring>

#include "winport/src/com/variant_replace.h"
#include "winport/src/com/vartype.h"
#include "winport/win32.h"

using winport::ElementSize;
using winport::IsValidVariantType;

namespace {

// Fills *dest (treated as holding nothing) with a copy of the value *src
// holds; VT_BYREF pointers are copied as pointers.
HRESULT CopyValue(VARIANT* dest, const VARIANT* src) {
  const VARTYPE vt = V_VT(src);
  if (vt & VT_BYREF) {
    *dest = *src;
    return S_OK;
  }
  if (vt & VT_ARRAY) {
    SAFEARRAY* copy = nullptr;
    const HRESULT hr = SafeArrayCopy(V_ARRAY(src), &copy);
    if (FAILED(hr)) return hr;
    *dest = *src;
    V_ARRAY(dest) = copy;
    return S_OK;
  }
  switch (vt) {
    case VT_BSTR: {
      BSTR s = V_BSTR(src);
      BSTR copy = s ? SysAllocStringLen(s, SysStringLen(s)) : nullptr;
      if (s && !copy) return E_OUTOFMEMORY;
      *dest = *src;
      V_BSTR(dest) = copy;
      return S_OK;
    }
    case VT_UNKNOWN:
    case VT_DISPATCH:
      if (V_UNKNOWN(src)) V_UNKNOWN(src)->AddRef();
      *dest = *src;
      return S_OK;
    default:
      *dest = *src;
      return S_OK;
  }
}

// Fills *dest with a copy of the value that the VT_BYREF variant *src points
// at.
HRESULT CopyReferenced(VARIANT* dest, const VARIANT* src) {
  const VARTYPE base = V_VT(src) & ~VT_BYREF;
  if (!V_BYREF(src)) return E_INVALIDARG;
  if (base == VT_VARIANT) {
    const VARIANT* inner = V_VARIANTREF(src);
    // One level of indirection only, as on Windows.
    if (V_VT(inner) == (VT_VARIANT | VT_BYREF)) return E_INVALIDARG;
    if (!IsValidVariantType(V_VT(inner))) return DISP_E_BADVARTYPE;
    return CopyValue(dest, inner);
  }
  VARIANT value;
  VariantInit(&value);
  if (base == VT_DECIMAL) {
    // A DECIMAL fills the whole VARIANT; its first word is the type.
    std::memcpy(&V_DECIMAL(&value), V_BYREF(src), sizeof(DECIMAL));
  } else if (base & VT_ARRAY) {
    V_ARRAY(&value) = *V_ARRAYREF(src);
  } else {
    std::memcpy(&V_BYREF(&value), V_BYREF(src), ElementSize(base));
  }
  V_VT(&value) = base;
  return CopyValue(dest, &value);
}

}  // namespace

namespace winport {

HRESULT ReplaceVariant(VARIANT* dest, VARIANT* built) {
  const HRESULT hr = VariantClear(dest);
  if (FAILED(hr)) {
    VariantClear(built);
    return hr;
  }
  *dest = *built;
  VariantInit(built);
  return S_OK;
}

}  // namespace winport

extern "C" void VariantInit(VARIANTARG* pvarg) {
  if (!pvarg) return;
  V_VT(pvarg) = VT_EMPTY;
  pvarg->wReserved1 = pvarg->wReserved2 = pvarg->wReserved3 = 0;
}

// A locked array is reported (DISP_E_ARRAYISLOCKED) and the VARIANT left as it
// was, so nothing is freed twice.
extern "C" HRESULT VariantClear(VARIANTARG* pvarg) {
  if (!pvarg) return E_INVALIDARG;
  const VARTYPE vt = V_VT(pvarg);
  if (!IsValidVariantType(vt)) return DISP_E_BADVARTYPE;
  if (!(vt & VT_BYREF)) {
    if (vt & VT_ARRAY) {
      const HRESULT hr = SafeArrayDestroy(V_ARRAY(pvarg));
      if (FAILED(hr)) return hr;
    } else if (vt == VT_BSTR) {
      SysFreeString(V_BSTR(pvarg));
    } else if ((vt == VT_UNKNOWN || vt == VT_DISPATCH) && V_UNKNOWN(pvarg)) {
      V_UNKNOWN(pvarg)->Release();
    }
  }
  VariantInit(pvarg);
  return S_OK;
}

extern "C" HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc) {
  if (!pvargDest || !pvargSrc) return E_INVALIDARG;
  if (pvargDest == pvargSrc) return S_OK;
  if (!IsValidVariantType(V_VT(pvargSrc))) return DISP_E_BADVARTYPE;
  VARIANT copy;
  VariantInit(&copy);
  const HRESULT hr = CopyValue(&copy, pvargSrc);
  return FAILED(hr) ? hr : winport::ReplaceVariant(pvargDest, &copy);
}

// Source and destination may be the same VARIANT: the reference is then
// replaced by a copy of the value it points at.
extern "C" HRESULT VariantCopyInd(VARIANT* pvarDest, const VARIANTARG* pvargSrc) {
  if (!pvarDest || !pvargSrc) return E_INVALIDARG;
  if (!IsValidVariantType(V_VT(pvargSrc))) return DISP_E_BADVARTYPE;
  if (!(V_VT(pvargSrc) & VT_BYREF)) return VariantCopy(pvarDest, pvargSrc);
  VARIANT copy;
  VariantInit(&copy);
  const HRESULT hr = CopyReferenced(&copy, pvargSrc);
  return FAILED(hr) ? hr : winport::ReplaceVariant(pvarDest, &copy);
}
