// @brief The type information of IViveviVadiro, shared by every component
// object of the module and released when the last one goes.
//
// Where it comes from is one replaceable function: the static interface
// description by default; the registered type library can take its place.
#pragma once

#include "winport/win32.h"

using TypeInfoSource = HRESULT (*)(LCID lcid, ITypeInfo** ppTInfo);

// Adds and removes a user; the last removal releases the cached information.
void AddTypeInfoUser();
void RemoveTypeInfoUser();

// Hands out the cached type information with a reference added, loading it
// on first use. E_POINTER for a null ppTInfo.
[[nodiscard]] HRESULT GetViveviVadiroTypeInfo(LCID lcid, ITypeInfo** ppTInfo);

// Puts another source in place; returns the previous one. Cached information
// from the old source is released.
TypeInfoSource ReplaceTypeInfoSource(TypeInfoSource source);

// The static description: names, dispatch ids, parameters and method-table
// slots of the five members.
[[nodiscard]] HRESULT StaticViveviVadiroTypeInfo(LCID lcid, ITypeInfo** ppTInfo);
