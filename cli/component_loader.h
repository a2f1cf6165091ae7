// @brief Creates the help search component the way any host would.
#pragma once

#include <string>

#include "component/com/ivivevi_vadiro.h"
#include "winport/owners.h"
#include "winport/win32.h"

namespace zvv {

// Holds the component and, when it had to be loaded by hand, its module. The
// component is released before the module is unloaded.
class ComponentInstance {
 public:
  ComponentInstance() = default;
  ComponentInstance(const ComponentInstance&) = delete;
  ComponentInstance& operator=(const ComponentInstance&) = delete;
  ~ComponentInstance();

  // Through the registry first; when the class is not registered, from the
  // module beside the executable through its DllGetClassObject.
  HRESULT Create();
  // Releases the component and unloads its module when it was loaded by hand.
  void Release();

  IViveviVadiro* operator->() const { return m_component.Get(); }
  IViveviVadiro* Get() const { return m_component.Get(); }

 private:
  HRESULT CreateFromModule(const std::string& modulePath);

  winport::ComPtr<IViveviVadiro> m_component;
  HMODULE m_module = nullptr;
};

// The folder that holds the running executable, with a trailing separator;
// empty when it cannot be told.
std::string ExecutableFolder();

}  // namespace zvv
