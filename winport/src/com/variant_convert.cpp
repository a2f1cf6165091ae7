// VARIANT type coercion between the empty and null values, the integer and
// real types, VT_BOOL and VT_BSTR, with Windows' result codes: a value that
// has no meaning in the target type is DISP_E_TYPEMISMATCH, one outside its
// range DISP_E_OVERFLOW.
//
// Divergences: the locale is ignored; numbers are read and written with "."
// as the decimal point and no thousands separators, and VARIANT_LOCALBOOL
// gives the same "True"/"False" as VARIANT_ALPHABOOL. VT_CY, VT_DATE,
// VT_DECIMAL and VT_ERROR take part only in copies to their own type.

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "winport/src/com/variant_replace.h"
#include "winport/src/com/vartype.h"
#include "winport/win32.h"

namespace {

struct Scalar {
  enum Kind { kEmpty, kNull, kInteger, kReal, kBool, kText, kObject, kOther } kind = kOther;
  int64_t integer = 0;
  double real = 0;
  bool single = false;  // a VT_R4 source, written with fewer digits
  BSTR text = nullptr;
  IDispatch* object = nullptr;
};

// Reads a value through at most one VT_BYREF.
Scalar Read(const VARIANT* v) {
  Scalar s;
  const VARTYPE vt = V_VT(v);
  const bool ref = (vt & VT_BYREF) != 0;
  if (ref && !V_BYREF(v)) return s;
  if (vt == (VT_VARIANT | VT_BYREF)) {
    const VARIANT* inner = V_VARIANTREF(v);
    return (V_VT(inner) & VT_BYREF) ? s : Read(inner);
  }
  switch (vt & ~VT_BYREF) {
    case VT_EMPTY:
      s.kind = ref ? Scalar::kOther : Scalar::kEmpty;
      break;
    case VT_NULL:
      s.kind = ref ? Scalar::kOther : Scalar::kNull;
      break;
#define WINPORT_INTEGER(VT, FIELD, REF)   \
  case VT:                                \
    s.kind = Scalar::kInteger;            \
    s.integer = ref ? *v->REF : v->FIELD; \
    break;
      WINPORT_INTEGER(VT_I1, cVal, pcVal)
      WINPORT_INTEGER(VT_UI1, bVal, pbVal)
      WINPORT_INTEGER(VT_I2, iVal, piVal)
      WINPORT_INTEGER(VT_UI2, uiVal, puiVal)
      WINPORT_INTEGER(VT_I4, lVal, plVal)
      WINPORT_INTEGER(VT_UI4, ulVal, pulVal)
      WINPORT_INTEGER(VT_INT, intVal, pintVal)
      WINPORT_INTEGER(VT_UINT, uintVal, puintVal)
      WINPORT_INTEGER(VT_I8, llVal, pllVal)
#undef WINPORT_INTEGER
    case VT_UI8: {
      const ULONGLONG u = ref ? *v->pullVal : v->ullVal;
      if (u > static_cast<ULONGLONG>(INT64_MAX)) {
        s.kind = Scalar::kReal;
        s.real = static_cast<double>(u);
      } else {
        s.kind = Scalar::kInteger;
        s.integer = static_cast<int64_t>(u);
      }
      break;
    }
    case VT_R4:
      s.kind = Scalar::kReal;
      s.real = ref ? *V_R4REF(v) : V_R4(v);
      s.single = true;
      break;
    case VT_R8:
      s.kind = Scalar::kReal;
      s.real = ref ? *V_R8REF(v) : V_R8(v);
      break;
    case VT_BOOL:
      s.kind = Scalar::kBool;
      s.integer = (ref ? *V_BOOLREF(v) : V_BOOL(v)) != VARIANT_FALSE ? -1 : 0;
      break;
    case VT_BSTR:
      s.kind = Scalar::kText;
      s.text = ref ? *V_BSTRREF(v) : V_BSTR(v);
      break;
    case VT_DISPATCH:
      s.kind = Scalar::kObject;
      s.object = ref ? *V_DISPATCHREF(v) : V_DISPATCH(v);
      break;
    default:
      break;
  }
  return s;
}

// The text of a BSTR as ASCII, or false when it holds anything else.
bool AsciiOf(BSTR text, std::string* out) {
  const UINT n = SysStringLen(text);
  out->clear();
  for (UINT i = 0; i < n; ++i) {
    if (text[i] == 0 || text[i] > 0x7F) return false;
    out->push_back(static_cast<char>(text[i]));
  }
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A decimal number with optional sign, fraction and exponent, blanks around.
HRESULT ParseNumber(BSTR text, double* value) {
  std::string s;
  if (!AsciiOf(text, &s)) return DISP_E_TYPEMISMATCH;
  size_t begin = 0, end = s.size();
  while (begin < end && IsBlank(s[begin])) ++begin;
  while (end > begin && IsBlank(s[end - 1])) --end;
  bool negative = false;
  if (begin < end && (s[begin] == '+' || s[begin] == '-')) negative = s[begin++] == '-';
  // from_chars also takes "inf", "nan" and hex; allow only digits, one point
  // and an exponent so those stay type mismatches.
  size_t i = begin;
  size_t digits = 0;
  while (i < end && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  if (i < end && s[i] == '.') {
    ++i;
    while (i < end && s[i] >= '0' && s[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return DISP_E_TYPEMISMATCH;
  bool negativeExponent = false;
  if (i < end && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < end && (s[i] == '+' || s[i] == '-')) negativeExponent = s[i++] == '-';
    size_t exponentDigits = 0;
    while (i < end && s[i] >= '0' && s[i] <= '9') ++i, ++exponentDigits;
    if (exponentDigits == 0) return DISP_E_TYPEMISMATCH;
  }
  if (i != end) return DISP_E_TYPEMISMATCH;
  double v = 0;
  const auto [ptr, ec] = std::from_chars(s.data() + begin, s.data() + end, v);
  if (ec == std::errc::result_out_of_range) {
    // Out of range with a negative exponent is a value too small to hold,
    // which reads as zero; otherwise it is too large.
    if (!negativeExponent) return DISP_E_OVERFLOW;
    v = 0;
  } else if (ec != std::errc() || ptr != s.data() + end) {
    return DISP_E_TYPEMISMATCH;
  }
  *value = negative ? -v : v;
  return S_OK;
}

bool SameText(BSTR text, const char* word) {
  std::string s;
  if (!AsciiOf(text, &s)) return false;
  size_t i = 0;
  for (; word[i] != 0; ++i) {
    if (i >= s.size() || (s[i] | 0x20) != (word[i] | 0x20)) return false;
  }
  return i == s.size();
}

// Rounds half to even, as automation does, and checks the target's range.
HRESULT RealToInteger(double real, int64_t min, int64_t max, int64_t* out) {
  const double rounded = std::nearbyint(real);
  if (!(rounded >= static_cast<double>(min) && rounded <= static_cast<double>(max))) {
    return DISP_E_OVERFLOW;
  }
  // max of int64 is not exact as a double; the comparison above lets 2^63 in.
  if (rounded >= 9223372036854775807.0) return DISP_E_OVERFLOW;
  *out = static_cast<int64_t>(rounded);
  return S_OK;
}

HRESULT ToInteger(const Scalar& s, int64_t min, int64_t max, int64_t* out) {
  switch (s.kind) {
    case Scalar::kEmpty:
      *out = 0;
      return S_OK;
    case Scalar::kInteger:
    case Scalar::kBool:
      if (s.integer < min || s.integer > max) return DISP_E_OVERFLOW;
      *out = s.integer;
      return S_OK;
    case Scalar::kReal:
      return RealToInteger(s.real, min, max, out);
    case Scalar::kText: {
      double v;
      const HRESULT hr = ParseNumber(s.text, &v);
      return FAILED(hr) ? hr : RealToInteger(v, min, max, out);
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

HRESULT ToReal(const Scalar& s, double* out) {
  switch (s.kind) {
    case Scalar::kEmpty:
      *out = 0;
      return S_OK;
    case Scalar::kInteger:
    case Scalar::kBool:
      *out = static_cast<double>(s.integer);
      return S_OK;
    case Scalar::kReal:
      *out = s.real;
      return S_OK;
    case Scalar::kText:
      return ParseNumber(s.text, out);
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

HRESULT ToBool(const Scalar& s, bool* out) {
  if (s.kind == Scalar::kText) {
    if (SameText(s.text, "true")) {
      *out = true;
      return S_OK;
    }
    if (SameText(s.text, "false")) {
      *out = false;
      return S_OK;
    }
  }
  double v;
  const HRESULT hr = ToReal(s, &v);
  if (SUCCEEDED(hr)) *out = v != 0;
  return hr;
}

BSTR AllocAscii(const char* text, size_t n) {
  BSTR s = SysAllocStringLen(nullptr, static_cast<UINT>(n));
  if (s) {
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<OLECHAR>(text[i]);
  }
  return s;
}

HRESULT ToText(const Scalar& s, USHORT flags, BSTR* out) {
  char buf[64];
  char* end = buf;
  switch (s.kind) {
    case Scalar::kEmpty:
      break;
    case Scalar::kText:
      *out = s.text ? SysAllocStringLen(s.text, SysStringLen(s.text)) : SysAllocStringLen(u"", 0);
      return *out ? S_OK : E_OUTOFMEMORY;
    case Scalar::kBool:
      if (flags & (VARIANT_ALPHABOOL | VARIANT_LOCALBOOL)) {
        *out = SysAllocString(s.integer ? u"True" : u"False");
        return *out ? S_OK : E_OUTOFMEMORY;
      }
      [[fallthrough]];
    case Scalar::kInteger:
      end = std::to_chars(buf, buf + sizeof buf, s.integer).ptr;
      break;
    case Scalar::kReal:
      // Fifteen significant digits for doubles, seven for singles.
      end = std::to_chars(buf, buf + sizeof buf, s.real, std::chars_format::general,
                          s.single ? 7 : 15)
                .ptr;
      for (char* c = buf; c < end; ++c) {
        if (*c == 'e') *c = 'E';
      }
      break;
    default:
      return DISP_E_TYPEMISMATCH;
  }
  *out = AllocAscii(buf, end - buf);
  return *out ? S_OK : E_OUTOFMEMORY;
}

struct IntegerRange {
  VARTYPE vt;
  int64_t min;
  int64_t max;
};
constexpr IntegerRange kIntegerTargets[] = {
    {VT_I1, INT8_MIN, INT8_MAX},    {VT_UI1, 0, UINT8_MAX},        {VT_I2, INT16_MIN, INT16_MAX},
    {VT_UI2, 0, UINT16_MAX},        {VT_I4, INT32_MIN, INT32_MAX}, {VT_UI4, 0, UINT32_MAX},
    {VT_INT, INT32_MIN, INT32_MAX}, {VT_UINT, 0, UINT32_MAX},      {VT_I8, INT64_MIN, INT64_MAX},
    {VT_UI8, 0, INT64_MAX},
};

void StoreInteger(VARIANT* v, VARTYPE vt, int64_t value) {
  switch (vt) {
    case VT_I1:
      v->cVal = static_cast<CHAR>(value);
      break;
    case VT_UI1:
      v->bVal = static_cast<BYTE>(value);
      break;
    case VT_I2:
      v->iVal = static_cast<SHORT>(value);
      break;
    case VT_UI2:
      v->uiVal = static_cast<USHORT>(value);
      break;
    case VT_I4:
      v->lVal = static_cast<LONG>(value);
      break;
    case VT_UI4:
      v->ulVal = static_cast<ULONG>(value);
      break;
    case VT_INT:
      v->intVal = static_cast<INT>(value);
      break;
    case VT_UINT:
      v->uintVal = static_cast<UINT>(value);
      break;
    case VT_I8:
      v->llVal = value;
      break;
    default:
      v->ullVal = static_cast<ULONGLONG>(value);
      break;
  }
  V_VT(v) = vt;
}

// Fills *out (empty) with s converted to vt.
HRESULT Convert(const Scalar& s, USHORT flags, VARTYPE vt, VARIANT* out) {
  if (s.kind == Scalar::kNull)
    return vt == VT_NULL ? (V_VT(out) = VT_NULL, S_OK) : DISP_E_TYPEMISMATCH;
  for (const IntegerRange& range : kIntegerTargets) {
    if (range.vt != vt) continue;
    int64_t value;
    const HRESULT hr = ToInteger(s, range.min, range.max, &value);
    if (SUCCEEDED(hr)) StoreInteger(out, vt, value);
    return hr;
  }
  HRESULT hr = DISP_E_TYPEMISMATCH;
  switch (vt) {
    case VT_EMPTY:
      if (s.kind == Scalar::kEmpty) hr = S_OK;
      break;
    case VT_R8:
      hr = ToReal(s, &V_R8(out));
      break;
    case VT_R4: {
      double v;
      hr = ToReal(s, &v);
      if (SUCCEEDED(hr) && std::isfinite(v) && std::abs(v) > std::numeric_limits<float>::max()) {
        hr = DISP_E_OVERFLOW;
      }
      if (SUCCEEDED(hr)) V_R4(out) = static_cast<float>(v);
      break;
    }
    case VT_BOOL: {
      bool b;
      hr = ToBool(s, &b);
      if (SUCCEEDED(hr)) V_BOOL(out) = b ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    }
    case VT_BSTR:
      hr = ToText(s, flags, &V_BSTR(out));
      break;
    default:
      break;
  }
  if (SUCCEEDED(hr)) V_VT(out) = vt;
  return hr;
}

// Reads an object's value property, unless the caller asked not to.
HRESULT ValueOf(IDispatch* object, USHORT flags, VARIANT* value) {
  if (!object || (flags & VARIANT_NOVALUEPROP)) return DISP_E_TYPEMISMATCH;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  const HRESULT hr = object->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT,
                                    DISPATCH_PROPERTYGET, &none, value, nullptr, nullptr);
  return FAILED(hr) ? DISP_E_TYPEMISMATCH : S_OK;
}

HRESULT ConvertValue(const VARIANT* src, USHORT flags, VARTYPE vt, VARIANT* out) {
  const VARTYPE base = V_VT(src) & ~VT_BYREF;
  // Same type, or a reference to it: a plain (dereferenced) copy.
  if (base == vt || (V_VT(src) == (VT_VARIANT | VT_BYREF) && V_VT(V_VARIANTREF(src)) == vt)) {
    return VariantCopyInd(out, src);
  }
  const Scalar s = Read(src);
  if (s.kind != Scalar::kObject) return Convert(s, flags, vt, out);
  VARIANT value;
  VariantInit(&value);
  HRESULT hr = ValueOf(s.object, flags, &value);
  if (SUCCEEDED(hr)) {
    const Scalar inner = Read(&value);
    hr = inner.kind == Scalar::kObject ? DISP_E_TYPEMISMATCH : Convert(inner, flags, vt, out);
  }
  VariantClear(&value);
  return hr;
}

}  // namespace

extern "C" HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc,
                                     USHORT wFlags, VARTYPE vt) {
  if (!pvargDest || !pvarSrc) return E_INVALIDARG;
  if (!winport::IsValidVariantType(V_VT(pvarSrc))) return DISP_E_BADVARTYPE;
  if ((vt & VT_BYREF) || !winport::IsValidVariantType(vt)) return DISP_E_BADVARTYPE;
  // The result is built aside, so the source may be the destination.
  VARIANT result;
  VariantInit(&result);
  const HRESULT hr = ConvertValue(pvarSrc, wFlags, vt, &result);
  return FAILED(hr) ? hr : winport::ReplaceVariant(pvargDest, &result);
}
