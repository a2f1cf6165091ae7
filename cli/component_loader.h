// @brief Creates the help search component the way any host would.
#pragma once

#include <memory>

#include "cli/component_module.h"
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
  ~ComponentInstance() { Release(); }

  // Through the registry first; when the class is not registered, from the
  // module beside the executable through its DllGetClassObject.
  [[nodiscard]] HRESULT Create();
  // Releases the component and unloads its module when it was loaded by hand.
  void Release();

  IViveviVadiro* operator->() const { return m_component.Get(); }
  IViveviVadiro* Get() const { return m_component.Get(); }

 private:
  [[nodiscard]] HRESULT CreateFromModule();

  winport::ComPtr<IViveviVadiro> m_component;
  std::unique_ptr<ComponentModule> m_module;
};

}  // namespace zvv
