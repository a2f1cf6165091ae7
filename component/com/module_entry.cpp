// @brief The module's load and unload entry.
#include "component/com/module_entry.h"

#include "component/com/class_factory.h"
#include "component/com/registered_type_info.h"
#include "component/com/type_info_holder.h"

namespace {
ModuleRecord g_module;
}  // namespace

const ModuleRecord& Module() { return g_module; }

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved) {
  if (dwReason == DLL_PROCESS_ATTACH) {
    g_module = ModuleRecord{hInstance, hInstance, hInstance};
    // Dispatch goes through the registered type library from now on.
    ReplaceTypeInfoSource(&RegisteredViveviVadiroTypeInfo);
    DisableThreadLibraryCalls(hInstance);
  } else if (dwReason == DLL_PROCESS_DETACH) {
    ReleaseCachedClassObjects();
    g_module = ModuleRecord{};
  }
  return TRUE;
}

#ifndef _WIN32
// Shared objects here get no loader entry call: the object's constructor and
// destructor stand in for the attach and detach notifications.
namespace {
__attribute__((constructor)) void AttachModule() {
  DllMain(WinportModuleFromAddress(reinterpret_cast<const void*>(&AttachModule)),
          DLL_PROCESS_ATTACH, nullptr);
}
__attribute__((destructor)) void DetachModule() {
  DllMain(Module().m_hInstance, DLL_PROCESS_DETACH, nullptr);
}
}  // namespace
#endif
