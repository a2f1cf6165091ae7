// @brief A type library made from an interface definition.
#pragma once

#include "winport/src/registry/idl_reader.h"
#include "winport/win32.h"

namespace winport::registry {

// The library's interfaces come first (in the order of the text), then its
// classes. Type information of an interface is dispatch-ready: names,
// dispatch ids, parameters and method-table slots, with the interface's
// uuid, flags and help string. Divergences: a class is described by its
// name, uuid and help string only (GetTypeInfo of a class gives E_NOTIMPL),
// and IsName, FindName and GetTypeComp give E_NOTIMPL.
[[nodiscard]] HRESULT CreateTypeLibrary(const IdlLibrary& library, ITypeLib** pptlib);

}  // namespace winport::registry
