// @brief The component's module, loaded by hand from beside the executable
// or from the installed library folder.
#pragma once

#include <string>

#include "winport/win32.h"

namespace zvv {

class ComponentModule {
 public:
  ComponentModule() = default;
  ComponentModule(const ComponentModule&) = delete;
  ComponentModule& operator=(const ComponentModule&) = delete;
  // Unloads the module when it reports that nothing of it is in use any more.
  ~ComponentModule();

  // Loads the module from the executable's folder, or from lib/ beside it
  // when installed; CO_E_DLLNOTFOUND when it cannot be loaded.
  [[nodiscard]] HRESULT Load();

  // An exported function, or null when the module lacks it.
  template <class Function>
  Function Export(const char* name) const {
    if (!m_module) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(m_module, name)));
  }

  const std::string& Path() const { return m_path; }

 private:
  HMODULE m_module = nullptr;
  std::string m_path;
};

// The folder that holds the running executable, with a trailing separator;
// empty when it cannot be told.
std::string ExecutableFolder();

}  // namespace zvv
