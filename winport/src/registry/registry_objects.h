// @brief winport's own objects and lookups behind the registry: the script
// registrar's creation and reading the registry for class activation.
#pragma once

#include <string>

#include "winport/win32.h"

namespace winport::registry {

// Makes a script registrar (no aggregation).
[[nodiscard]] HRESULT CreateScriptRegistrar(IUnknown* pUnkOuter, REFIID riid, void** ppv);

// The default value of the key at fullPath ("HKEY_CLASSES_ROOT\\..."): false
// when the key or its default text is missing or the file cannot be read;
// *status (when given) tells which (ERROR_BADDB for a damaged file).
bool ReadDefaultText(const std::string& fullPath, std::string* text, LONG* status = nullptr);

// "{XXXXXXXX-...}" in upper case.
std::string GuidText(REFGUID guid);

}  // namespace winport::registry
