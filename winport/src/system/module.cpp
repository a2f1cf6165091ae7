// @brief Modules: shared objects loaded with dlopen, named by their load base.
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

#include "winport/api/errors.h"
#include "winport/api/module.h"
#include "winport/src/system/errno_map.h"

namespace winport::detail {
namespace {

// The dlopen handles that LoadLibraryA has handed out, by module, with the
// number of LoadLibraryA calls not yet matched by FreeLibrary.
struct LoadedModules {
  std::mutex lock;
  struct Entry {
    void* handle;
    unsigned count;
  };
  std::unordered_map<HMODULE, Entry> entries;
};

LoadedModules& Loaded() {
  static LoadedModules* loaded = new LoadedModules;  // FreeLibrary may run in static destructors
  return *loaded;
}

HMODULE BaseOf(const void* address) {
  Dl_info info;
  if (address == nullptr || ::dladdr(address, &info) == 0 || info.dli_fbase == nullptr) {
    return nullptr;
  }
  return static_cast<HMODULE>(info.dli_fbase);
}

// The load base of the object a dlopen handle names: the base of the mapping
// that holds its dynamic section.
HMODULE BaseOfHandle(void* handle) {
  link_map* map = nullptr;
  if (::dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr) return nullptr;
  return BaseOf(map->l_ld);
}

HMODULE ExecutableModule() {
  static const HMODULE module = [] {
    void* self = ::dlopen(nullptr, RTLD_LAZY);
    HMODULE base = self ? BaseOfHandle(self) : nullptr;
    if (self) ::dlclose(self);
    return base;
  }();
  return module;
}

// True when `module` is the load base of a loaded object (and not just any
// address inside one).
bool IsModule(HMODULE module) { return module != nullptr && BaseOf(module) == module; }

// Runs `use` with a dlopen handle for `module` that stays valid during the call.
template <class Use>
bool WithHandle(HMODULE module, Use use) {
  if (module == ExecutableModule()) {
    void* self = ::dlopen(nullptr, RTLD_LAZY);
    if (self == nullptr) return false;
    use(self);
    ::dlclose(self);
    return true;
  }
  Dl_info info;
  if (!IsModule(module) || ::dladdr(module, &info) == 0 || info.dli_fname == nullptr) return false;
  void* handle = ::dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
  if (handle == nullptr) return false;
  use(handle);
  ::dlclose(handle);
  return true;
}

std::string ExecutablePath() {
  char path[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length > 0) return std::string(path, static_cast<size_t>(length));
  Dl_info info;
  if (::dladdr(ExecutableModule(), &info) != 0 && info.dli_fname) return info.dli_fname;
  return {};
}

}  // namespace
}  // namespace winport::detail

// A library that cannot be loaded fails with ERROR_MOD_NOT_FOUND whatever the
// cause (missing file, missing dependency, not a shared object); the loader's
// own message is not kept. The name is used as given: no ".dll" suffix is
// added and the search is the dynamic loader's (RPATH, LD_LIBRARY_PATH, system
// folders), not Windows' folder order. Symbols are bound at load time and kept
// local to the library.
HMODULE LoadLibraryA(LPCSTR lpLibFileName) {
  using namespace winport::detail;
  if (lpLibFileName == nullptr || *lpLibFileName == '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  void* handle = ::dlopen(lpLibFileName, RTLD_NOW | RTLD_LOCAL);
  HMODULE module = handle ? BaseOfHandle(handle) : nullptr;
  if (module == nullptr) {
    if (handle) ::dlclose(handle);
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  LoadedModules& loaded = Loaded();
  std::lock_guard<std::mutex> guard(loaded.lock);
  auto [entry, inserted] = loaded.entries.try_emplace(module, LoadedModules::Entry{handle, 0});
  if (!inserted) ::dlclose(handle);  // the dynamic loader counted it; one handle is kept
  ++entry->second.count;
  return module;
}

// Only what LoadLibraryA loaded can be freed: a module handle obtained from
// GetModuleHandleA or WinportModuleFromAddress carries no reference, and
// freeing it fails with ERROR_INVALID_HANDLE instead of unloading a library
// that is still in use.
BOOL FreeLibrary(HMODULE hLibModule) {
  using namespace winport::detail;
  LoadedModules& loaded = Loaded();
  void* to_close = nullptr;
  {
    std::lock_guard<std::mutex> guard(loaded.lock);
    auto entry = loaded.entries.find(hLibModule);
    if (entry == loaded.entries.end()) return Fail(ERROR_INVALID_HANDLE);
    if (--entry->second.count == 0) {
      to_close = entry->second.handle;
      loaded.entries.erase(entry);
    }
  }
  if (to_close != nullptr) ::dlclose(to_close);
  return TRUE;
}

// Ordinals (names below 0x10000) are not offered: they fail with
// ERROR_PROC_NOT_FOUND. A module handle that names no loaded object fails with
// ERROR_MOD_NOT_FOUND.
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  using namespace winport::detail;
  if (reinterpret_cast<uintptr_t>(lpProcName) < 0x10000) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  void* symbol = nullptr;
  if (!WithHandle(hModule, [&](void* handle) { symbol = ::dlsym(handle, lpProcName); })) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  if (symbol == nullptr) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(symbol);
}

// A library's path is the one the dynamic loader recorded, made absolute when
// the file can still be found; the executable's comes from /proc/self/exe.
DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  using namespace winport::detail;
  std::string path;
  if (hModule == nullptr || hModule == ExecutableModule()) {
    path = ExecutablePath();
  } else if (Dl_info info; IsModule(hModule) && ::dladdr(hModule, &info) != 0 && info.dli_fname) {
    char* resolved = ::realpath(info.dli_fname, nullptr);
    path = resolved ? resolved : info.dli_fname;
    std::free(resolved);
  }
  if (path.empty()) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return 0;
  }
  if (lpFilename == nullptr || nSize == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (path.size() >= nSize) {
    std::memcpy(lpFilename, path.data(), nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
  }
  std::memcpy(lpFilename, path.c_str(), path.size() + 1);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(path.size());
}

// A name finds an already loaded library by the name the dynamic loader knows
// it by; it takes no reference, as on Windows.
HMODULE GetModuleHandleA(LPCSTR lpModuleName) {
  using namespace winport::detail;
  if (lpModuleName == nullptr) return ExecutableModule();
  void* handle = ::dlopen(lpModuleName, RTLD_LAZY | RTLD_NOLOAD);
  HMODULE module = handle ? BaseOfHandle(handle) : nullptr;
  if (handle) ::dlclose(handle);
  if (module == nullptr) SetLastError(ERROR_MOD_NOT_FOUND);
  return module;
}

// Shared objects get no per-thread notifications here, so there is nothing to
// turn off.
BOOL DisableThreadLibraryCalls(HMODULE hLibModule) { return TRUE; }

HMODULE WinportModuleFromAddress(const void* address) {
  HMODULE module = winport::detail::BaseOf(address);
  if (module == nullptr) SetLastError(ERROR_MOD_NOT_FOUND);
  return module;
}
