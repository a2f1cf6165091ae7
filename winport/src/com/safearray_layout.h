// @brief How winport lays out and frees SAFEARRAY descriptors and their data.
//
// Each descriptor is one heap block with a 16-byte header in front of the
// SAFEARRAY: its last four bytes hold the element VARTYPE (FADF_HAVEVARTYPE),
// where Windows keeps it. The data is a second block.
#pragma once

#include <cstddef>

#include "winport/win32.h"

namespace winport {

// A descriptor for cDims dimensions of vt elements, bounds zeroed, no data.
// Null when vt cannot be stored in an array or cDims is 0.
SAFEARRAY* NewDescriptor(VARTYPE vt, UINT cDims);
void FreeDescriptor(SAFEARRAY* psa);
VARTYPE StoredVartype(const SAFEARRAY* psa);

// Number of elements over all dimensions; false when it overflows.
bool CellCount(const SAFEARRAY* psa, size_t* count);
// Zero-filled data for the bounds already set (zero means VT_EMPTY, null
// BSTR and null interface).
[[nodiscard]] HRESULT AllocateData(SAFEARRAY* psa);
// Releases what the elements own, then frees the data block.
void FreeData(SAFEARRAY* psa);

}  // namespace winport
