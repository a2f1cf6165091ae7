// @brief Loading the engine library.
#include "component/toolkit/engine_library.h"

#include <string>

#include "component/com/module_handle.h"
#include "component/toolkit/path_separator.h"
#include "component/toolkit/system_paths.h"

namespace {

#ifdef _WIN32
constexpr char kEngineFileName[] = "dizode.dll";
#else
constexpr char kEngineFileName[] = "libdizode.so";
#endif

// The folder of this module, with its trailing separator; empty when unknown.
std::string OwnFolder() {
  const std::string folder = ModuleFileName(ComponentInstance());
  size_t cut = folder.find_last_of(kPathSeparator);
  return cut == std::string::npos ? std::string() : folder.substr(0, cut + 1);
}

}  // namespace

bool EngineLibrary::Load() {
  std::string folder = OwnFolder();
  if (folder.empty()) {
    return false;
  }
  m_hEngine = LoadModule(folder + kEngineFileName);
  return m_hEngine != nullptr;
}

FARPROC EngineLibrary::Find(const char* name, int ordinal) const {
  if (!m_hEngine) {
    return nullptr;
  }
#ifdef _WIN32
  (void)name;
  return GetProcAddress(m_hEngine, MAKEINTRESOURCEA(ordinal));
#else
  (void)ordinal;
  return GetProcAddress(m_hEngine, name);
#endif
}
