// @brief The process-wide table of modules' resources.
#include "winport/src/ui/resource_registry.h"

#include <strings.h>

#include <mutex>
#include <utility>
#include <vector>

#include "winport/api/module.h"
#include "winport/api/resources.h"
#include "winport/module_resources.h"

namespace winport::ui {
namespace {

// Entries are found by address (an HRSRC is one), so a registration's entries
// never move: moving the registration moves its vector's buffer, not them.
struct Registration {
  HMODULE m_module;
  const unsigned char* m_bytes;
  std::vector<ResourceEntry> m_entries;
};

// Registration happens in static constructors of loaded modules, possibly
// before this library's own statics run, so the list is built on first use.
std::mutex& RegistryMutex() {
  static auto* mutex = new std::mutex();  // outlives every unloading module
  return *mutex;
}

std::vector<Registration>& Registrations() {
  static auto* registrations = new std::vector<Registration>();  // outlives every unloading module
  return *registrations;
}

bool NameMatches(LPCSTR name, const ResourceName& entry) {
  if (IS_INTRESOURCE(name))
    return entry.m_text.empty() && LOWORD(reinterpret_cast<ULONG_PTR>(name)) == entry.m_id;
  return !entry.m_text.empty() && strcasecmp(name, entry.m_text.c_str()) == 0;
}

}  // namespace

HMODULE ResolveModule(HINSTANCE instance) {
  return instance != nullptr ? instance : GetModuleHandleA(nullptr);
}

const ResourceEntry* FindResourceEntry(HMODULE module, LPCSTR type, LPCSTR name, bool* typeFound) {
  *typeFound = false;
  std::lock_guard lock(RegistryMutex());
  for (const Registration& registration : Registrations()) {
    if (registration.m_module != module) continue;
    for (const ResourceEntry& entry : registration.m_entries) {
      if (!NameMatches(type, entry.m_type)) continue;
      *typeFound = true;
      if (NameMatches(name, entry.m_name)) return &entry;
    }
  }
  return nullptr;
}

}  // namespace winport::ui

bool WinportRegisterResources(const unsigned char* bytes, std::size_t size) {
  HMODULE module = WinportModuleFromAddress(bytes);
  if (module == nullptr) return false;
  auto entries = winport::ui::ReadResourceFile(bytes, size);
  if (!entries) return false;
  std::lock_guard lock(winport::ui::RegistryMutex());
  winport::ui::Registrations().push_back({module, bytes, std::move(*entries)});
  return true;
}

void WinportUnregisterResources(const unsigned char* bytes) {
  std::lock_guard lock(winport::ui::RegistryMutex());
  std::erase_if(winport::ui::Registrations(),
                [bytes](const auto& registration) { return registration.m_bytes == bytes; });
}
