// @brief The module's own registration entry points.
#include "cli/registration.h"

#include "cli/component_module.h"

namespace zvv {
namespace {

typedef HRESULT(STDAPICALLTYPE* RegistrationFunction)();

}  // namespace

HRESULT RunModuleRegistration(RegistrationStep step, std::string& modulePath) {
  ComponentModule module;
  HRESULT hr = module.Load();
  modulePath = module.Path();
  if (FAILED(hr)) return hr;
  auto function = module.Export<RegistrationFunction>(
      step == RegistrationStep::kRegister ? "DllRegisterServer" : "DllUnregisterServer");
  if (!function) return CO_E_ERRORINDLL;
  return function();
}

}  // namespace zvv
