// @brief Short ways for tests to make VARIANTs of a given type.
#pragma once

#include <cstring>

#include "winport/owners.h"
#include "winport/win32.h"

namespace winport_test {

// An owned VARIANT of type vt holding value (which must be the union member's
// type, e.g. SHORT for VT_I2, VARIANT_BOOL for VT_BOOL).
template <class T>
winport::Variant ValueOf(VARTYPE vt, T value) {
  winport::Variant out;
  std::memcpy(&V_BYREF(out.Get()), &value, sizeof value);
  V_VT(out.Get()) = vt;
  return out;
}

// A VARIANT that refers to *target as VT_BYREF | vt; it owns nothing.
inline VARIANT RefTo(VARTYPE vt, void* target) {
  VARIANT ref;
  VariantInit(&ref);
  V_VT(&ref) = vt | VT_BYREF;
  V_BYREF(&ref) = target;
  return ref;
}

}  // namespace winport_test
