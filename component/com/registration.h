// @brief The module's registration exports and the steps behind them.
#pragma once

#include <string>

#include "component/com/class_factory.h"
#include "winport/win32.h"

ZVV_EXPORT HRESULT STDAPICALLTYPE DllRegisterServer();
ZVV_EXPORT HRESULT STDAPICALLTYPE DllUnregisterServer();

// Where a module's type library is looked for when the module itself holds
// none: the path from its last "." replaced by ".tlb", or ".tlb" appended.
std::string TypeLibraryFallbackPath(const std::string& sModulePath);

// The folder of a path: everything up to and including its last "\", "/" or
// ":" (empty when it has none).
std::string HelpFolderOf(const std::string& sPath);
