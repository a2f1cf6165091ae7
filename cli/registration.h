// @brief Registering the component module beside zvv, so that hosts can create
// the component by its class identifier.
#pragma once

#include <string>

#include "winport/win32.h"

namespace zvv {

enum class RegistrationStep { kRegister, kUnregister };

// Calls the module's DllRegisterServer or DllUnregisterServer. `modulePath`
// receives the module's path once it is known.
[[nodiscard]] HRESULT RunModuleRegistration(RegistrationStep step, std::string& modulePath);

}  // namespace zvv
