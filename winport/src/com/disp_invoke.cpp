// Calls a described member through the object's method table with libffi, so
// any signature of integers, reals and pointers is called with its own type
// and never through a cast to a function type it does not have.
//
// Divergences: the declared calling convention is ignored (POSIX targets have
// one); [in] arguments are coerced with VariantChangeType and passed to the
// member as temporary copies, so a member cannot change the caller's by-value
// VARIANTs; named arguments other than DISPID_PROPERTYPUT on a property put
// give DISP_E_NONAMEDARGS.

#include <ffi.h>

#include <cstring>
#include <vector>

#include "winport/src/com/disp_member.h"

namespace winport {
namespace {

// A VARIANT passed by value: four 16-bit words, then the value union, which is
// two pointers wide on every target (sizeof(VARIANT) is checked before use).
ffi_type* VariantFfiType() {
  static ffi_type* elements[] = {&ffi_type_uint16, &ffi_type_uint16,  &ffi_type_uint16,
                                 &ffi_type_uint16, &ffi_type_pointer, &ffi_type_pointer,
                                 nullptr};
  static ffi_type type = {0, 0, FFI_TYPE_STRUCT, elements};
  // Preparing a call that takes the struct fills in its size and alignment.
  static const bool prepared = [] {
    ffi_cif cif;
    ffi_type* args[] = {&type};
    return ffi_prep_cif(&cif, FFI_DEFAULT_ABI, 1, &ffi_type_void, args) == FFI_OK;
  }();
  return prepared && type.size == sizeof(VARIANT) ? &type : nullptr;
}

ffi_type* FfiTypeOf(VARTYPE vt) {
  if (vt & (VT_BYREF | VT_ARRAY)) return &ffi_type_pointer;
  switch (vt) {
    case VT_I1:
      return &ffi_type_sint8;
    case VT_UI1:
      return &ffi_type_uint8;
    case VT_I2:
    case VT_BOOL:
      return &ffi_type_sint16;
    case VT_UI2:
      return &ffi_type_uint16;
    case VT_I4:
    case VT_INT:
    case VT_ERROR:
    case VT_HRESULT:
      return &ffi_type_sint32;
    case VT_UI4:
    case VT_UINT:
      return &ffi_type_uint32;
    // CY is an eight-byte integer union: it travels as a 64-bit integer.
    case VT_I8:
    case VT_CY:
      return &ffi_type_sint64;
    case VT_UI8:
      return &ffi_type_uint64;
    case VT_R4:
      return &ffi_type_float;
    case VT_R8:
    case VT_DATE:
      return &ffi_type_double;
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return &ffi_type_pointer;
    case VT_VARIANT:
      return VariantFfiType();
    case VT_VOID:
    case VT_EMPTY:
      return &ffi_type_void;
    default:
      return nullptr;
  }
}

// Resolves one [in] or [in, out] argument into the pointer libffi reads the
// parameter's value from. Temporaries live in *temp.
HRESULT Marshal(VARTYPE declared, VARIANT* arg, VARIANT* temp, void** pointerSlot, void** value) {
  const VARTYPE base = declared & ~VT_BYREF;
  VARIANT* inner = V_VT(arg) == (VT_VARIANT | VT_BYREF) ? V_VARIANTREF(arg) : nullptr;
  if (declared == (VT_VARIANT | VT_BYREF)) {
    // [in] VARIANT* accepts a value, [out] VARIANT* a reference to one.
    *pointerSlot = inner ? inner : arg;
    *value = pointerSlot;
    return S_OK;
  }
  if (declared & VT_BYREF) {
    if (V_VT(arg) == declared) {
      *pointerSlot = V_BYREF(arg);
    } else if (V_VT(arg) == base) {
      *pointerSlot = &V_BYREF(arg);
    } else if (inner && V_VT(inner) == base) {
      *pointerSlot = &V_BYREF(inner);
    } else {
      return DISP_E_TYPEMISMATCH;
    }
    *value = pointerSlot;
    return S_OK;
  }
  if (declared == VT_VARIANT) {
    *value = inner ? inner : arg;
    return S_OK;
  }
  const VARIANT* source = arg;
  if (V_VT(arg) != declared) {
    const HRESULT hr = VariantChangeType(temp, arg, 0, declared);
    if (FAILED(hr)) return hr;
    source = temp;
  }
  // Every member of the value union starts at the union's address.
  *value = const_cast<void**>(&V_BYREF(source));
  return S_OK;
}

// Moves a value the member returned directly into a VARIANT of type vt.
void StoreResult(VARTYPE vt, const void* raw, VARIANT* out) {
  VariantInit(out);
  if (vt == VT_VOID || vt == VT_EMPTY) return;
  ffi_type* type = FfiTypeOf(vt);
  if (type == &ffi_type_float || type == &ffi_type_double || type == &ffi_type_pointer) {
    std::memcpy(&V_BYREF(out), raw, type->size);
  } else {
    // Integers come back widened to a whole ffi_arg; narrow them by value so
    // the byte order does not matter.
    ffi_sarg wide;
    std::memcpy(&wide, raw, sizeof wide);
    switch (type->size) {
      case 1:
        out->cVal = static_cast<CHAR>(wide);
        break;
      case 2:
        out->iVal = static_cast<SHORT>(wide);
        break;
      case 4:
        out->lVal = static_cast<LONG>(wide);
        break;
      default:
        std::memcpy(&out->llVal, raw, sizeof out->llVal);
        break;
    }
  }
  V_VT(out) = vt;
}

// Describes a member's failure hr in excep from the thread's error object,
// which it takes, as late-bound callers expect.
HRESULT DescribeException(HRESULT hr, EXCEPINFO* excep) {
  std::memset(excep, 0, sizeof *excep);
  excep->scode = hr;
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) == S_OK && info) {
    info->GetSource(&excep->bstrSource);
    info->GetDescription(&excep->bstrDescription);
    info->GetHelpFile(&excep->bstrHelpFile);
    info->GetHelpContext(&excep->dwHelpContext);
    info->Release();
  }
  return DISP_E_EXCEPTION;
}

}  // namespace

bool IsCallableParamType(VARTYPE vt) {
  if (vt & VT_BYREF) vt &= ~VT_BYREF;
  if (vt & VT_ARRAY) return true;
  ffi_type* type = FfiTypeOf(vt);
  return type && type != &ffi_type_void && vt != VT_HRESULT;
}

bool IsCallableResultType(VARTYPE vt) {
  return !(vt & (VT_BYREF | VT_ARRAY)) && vt != VT_VARIANT && FfiTypeOf(vt) != nullptr;
}

HRESULT InvokeMember(void* instance, const DispMember& member, WORD wFlags, DISPPARAMS* params,
                     VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) {
  if (params->cNamedArgs > 0) {
    const bool put = (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    // The value of a property put is rgvarg[0], the last parameter: named or
    // not, it sits where a positional argument would.
    if (!put || params->cNamedArgs != 1 || !params->rgdispidNamedArgs ||
        params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
      return DISP_E_NONAMEDARGS;
    }
  }
  const size_t count = member.params.size();
  const size_t supplied = params->cArgs;
  // PARAMDATA has no [retval] flag: a trailing pointer of an HRESULT member
  // that the caller leaves out is the result (see CreateDispTypeInfo).
  const bool retval = member.result == VT_HRESULT && count > 0 && supplied + 1 == count &&
                      (member.params.back().vt & VT_BYREF);
  if (supplied != count && !retval) return DISP_E_BADPARAMCOUNT;

  // Slot 0 is the instance; the parameters follow in declaration order.
  std::vector<ffi_type*> types(count + 1);
  std::vector<void*> values(count + 1);
  std::vector<void*> pointers(count + 1);
  std::vector<VARIANT> temps(count + 1);
  for (VARIANT& t : temps) {
    std::memset(&t, 0, sizeof t);
    VariantInit(&t);
  }
  types[0] = &ffi_type_pointer;
  pointers[0] = instance;
  values[0] = &pointers[0];

  HRESULT hr = S_OK;
  for (size_t i = 0; i < count && SUCCEEDED(hr); ++i) {
    const VARTYPE declared = member.params[i].vt;
    types[i + 1] = FfiTypeOf(declared);
    if (i < supplied) {
      const size_t at = supplied - 1 - i;
      hr = Marshal(declared, &params->rgvarg[at], &temps[i + 1], &pointers[i + 1], &values[i + 1]);
      if (FAILED(hr) && puArgErr) *puArgErr = static_cast<UINT>(at);
    } else {
      // The [out, retval] parameter receives its value in temps[0].
      pointers[i + 1] =
          declared == (VT_VARIANT | VT_BYREF) ? static_cast<void*>(&temps[0]) : &V_BYREF(&temps[0]);
      values[i + 1] = &pointers[i + 1];
    }
  }

  ffi_cif cif;
  if (SUCCEEDED(hr) && ffi_prep_cif(&cif, FFI_DEFAULT_ABI, static_cast<unsigned>(count + 1),
                                    FfiTypeOf(member.result), types.data()) != FFI_OK) {
    hr = E_UNEXPECTED;
  }
  if (SUCCEEDED(hr)) {
    void** table = *static_cast<void***>(instance);
    alignas(16) unsigned char raw[16] = {};
    ffi_call(&cif, reinterpret_cast<void (*)()>(table[member.slot]), raw, values.data());
    VARIANT result;
    StoreResult(member.result, raw, &result);
    if (member.result == VT_HRESULT) {
      hr = V_ERROR(&result);
      if (FAILED(hr) && pExcepInfo) hr = DescribeException(hr, pExcepInfo);
      if (retval && SUCCEEDED(hr)) {
        const VARTYPE base = member.params.back().vt & ~VT_BYREF;
        if (base != VT_VARIANT) V_VT(&temps[0]) = base;
        if (pVarResult) {
          *pVarResult = temps[0];
          VariantInit(&temps[0]);
        }
      }
    } else if (pVarResult) {
      *pVarResult = result;
    } else {
      VariantClear(&result);
    }
  }
  for (VARIANT& t : temps) VariantClear(&t);
  return hr;
}

}  // namespace winport
