// @brief Loading and unloading the component's module.
#include "cli/component_module.h"

#include <filesystem>

namespace zvv {
namespace {

constexpr char kComponentModule[] = "libZoViveviVadiro.so";
// Beside zvv in a build folder; in the library folder next to zvv's own once
// installed.
constexpr const char* kModuleFolders[] = {"", "../lib/"};

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
  for (const char* relative : kModuleFolders) {
    m_path =
        (std::filesystem::path(folder + relative) / kComponentModule).lexically_normal().string();
    m_module = LoadLibraryA(m_path.c_str());
    if (m_module) return S_OK;
  }
  // A failure names the module where a build would have it.
  m_path = folder + kComponentModule;
  return CO_E_DLLNOTFOUND;
}

}  // namespace zvv
