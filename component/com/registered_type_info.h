// @brief The type information of IViveviVadiro from the registered type
// library.
#pragma once

#include "winport/win32.h"

// Loads the library registered for LIBID_ZOVIVEVIVADIROLib 1.0 in lcid's
// locale and hands out its description of IViveviVadiro. When no registered
// library can be loaded, the module's static description serves instead, so
// an object whose type library registration is missing or stale still
// answers dispatch.
[[nodiscard]] HRESULT RegisteredViveviVadiroTypeInfo(LCID lcid, ITypeInfo** ppTInfo);
