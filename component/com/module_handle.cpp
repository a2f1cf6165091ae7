// @brief Finding the component's own module.
#include "component/com/module_handle.h"

HINSTANCE ComponentInstance() {
#ifdef _WIN32
  HMODULE hModule = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&ComponentInstance), &hModule);
  return hModule;
#else
  return WinportModuleFromAddress(reinterpret_cast<const void*>(&ComponentInstance));
#endif
}
