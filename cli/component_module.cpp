// @brief Loading and unloading the component's module.
#include "cli/component_module.h"

namespace zvv {
namespace {

constexpr char kComponentModule[] = "libZoViveviVadiro.so";

typedef HRESULT(STDAPICALLTYPE* DllCanUnloadNowFunction)();

}  // namespace

std::string ExecutableFolder() {
  char path[4096];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return {};
  std::string folder(path, length);
  const auto slash = folder.find_last_of('/');
  return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

ComponentModule::~ComponentModule() {
  if (!m_module) return;
  // As the runtime would: unload only a module that says nothing of it is in use.
  auto canUnloadNow = Export<DllCanUnloadNowFunction>("DllCanUnloadNow");
  if (canUnloadNow && canUnloadNow() == S_OK) FreeLibrary(m_module);
}

HRESULT ComponentModule::Load() {
  if (m_module) return S_OK;
  const std::string folder = ExecutableFolder();
  if (folder.empty()) return CO_E_DLLNOTFOUND;
  m_path = folder + kComponentModule;
  m_module = LoadLibraryA(m_path.c_str());
  return m_module ? S_OK : CO_E_DLLNOTFOUND;
}

}  // namespace zvv
