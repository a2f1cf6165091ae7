// @brief How a module hands its compiled resources to winport (POSIX builds
// only; not a Windows interface).
//
// The build compiles a module's resource script with the resource compiler
// and embeds the resulting resource file in the module, beside one
// ModuleResources object that registers the bytes when the module is loaded
// and unregisters them when it is unloaded (winport/cmake/WinportResources.cmake).
// winport keys the bytes by the module that holds them, so LoadStringA,
// DialogBoxParamA and FindResourceA given the module's HINSTANCE find them.
// Several files may be registered for one module; they are searched in
// registration order.
#pragma once

#include <cstddef>

// `bytes` must lie inside the module that owns them and stay valid until they
// are unregistered. Returns false, registering nothing, when the bytes are not
// a whole resource file or lie in no module.
bool WinportRegisterResources(const unsigned char* bytes, std::size_t size);
void WinportUnregisterResources(const unsigned char* bytes);

namespace winport {

class ModuleResources {
 public:
  ModuleResources(const unsigned char* bytes, std::size_t size) : m_bytes(bytes) {
    WinportRegisterResources(bytes, size);
  }
  ~ModuleResources() { WinportUnregisterResources(m_bytes); }
  ModuleResources(const ModuleResources&) = delete;
  ModuleResources& operator=(const ModuleResources&) = delete;

 private:
  const unsigned char* m_bytes;
};

}  // namespace winport
