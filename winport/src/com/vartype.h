// @brief Facts about VARTYPEs shared by the VARIANT and SAFEARRAY code.
#pragma once

#include <cstddef>

#include "winport/win32.h"

namespace winport {

// Bytes one value of the base type vt occupies in an array or behind a
// VT_BYREF pointer; 0 for a type that cannot be stored that way.
size_t ElementSize(VARTYPE vt);

// Whether a VARIANT may carry vt: plain values, VT_BYREF to a value or to a
// VARIANT, and VT_ARRAY of an array element type, alone or by reference.
// Divergence: VT_RECORD (user-defined structures) is not supported, in
// VARIANTs or as an array element type; it is treated as an invalid type.
bool IsValidVariantType(VARTYPE vt);

}  // namespace winport
