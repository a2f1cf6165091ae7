// @brief The hook through which class creation reaches in-process servers.
//
// CoGetClassObject asks the table of registered class objects first. For a
// class it does not hold it calls the resolver, which the registry part fills
// in: it looks up CLSID\{...}\InprocServer32, loads the module and asks its
// DllGetClassObject. Without a resolver unknown classes are not registered.
#pragma once

#include "winport/win32.h"

namespace winport {

// Answers a class object for clsid with interface riid in *ppv, or
// REGDB_E_CLASSNOTREG when no in-process server is registered for it.
using InprocServerResolver = HRESULT (*)(REFCLSID clsid, REFIID riid, void** ppv);

// Installs the resolver (null removes it) and returns the previous one.
InprocServerResolver SetInprocServerResolver(InprocServerResolver resolver);

}  // namespace winport
