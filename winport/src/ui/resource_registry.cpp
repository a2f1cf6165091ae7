// @brief The process-wide table of modules' resources.
#include "winport/src/ui/resource_registry.h"

#include <strings.h>

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

#include "winport/api/module.h"
#include "winport/api/resources.h"

namespace winport::ui {
namespace {

struct Registration {
  HMODULE m_module;
  const ResourceTable* m_table;
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

// Runs `visit` over the tables of `module` in registration order until it
// returns a result.
template <typename Result, typename Visit>
const Result* SearchTables(HMODULE module, Visit visit) {
  std::lock_guard lock(RegistryMutex());
  for (const Registration& registration : Registrations()) {
    if (registration.m_module != module) continue;
    if (const Result* found = visit(*registration.m_table)) return found;
  }
  return nullptr;
}

}  // namespace

HMODULE ResolveModule(HINSTANCE instance) {
  return instance != nullptr ? instance : GetModuleHandleA(nullptr);
}

bool ResourceNameMatches(LPCSTR name, WORD id, const char* text) {
  if (IS_INTRESOURCE(name))
    return text == nullptr && LOWORD(reinterpret_cast<ULONG_PTR>(name)) == id;
  return text != nullptr && strcasecmp(name, text) == 0;
}

const StringResource* FindStringResource(HMODULE module, UINT id) {
  return SearchTables<StringResource>(module, [id](const ResourceTable& table) {
    const StringResource* end = table.m_strings + table.m_stringCount;
    const StringResource* found = std::find_if(
        table.m_strings, end, [id](const StringResource& entry) { return entry.m_id == id; });
    return found != end ? found : nullptr;
  });
}

const DialogResource* FindDialogResource(HMODULE module, LPCSTR name) {
  return SearchTables<DialogResource>(module, [name](const ResourceTable& table) {
    const DialogResource* end = table.m_dialogs + table.m_dialogCount;
    const DialogResource* found =
        std::find_if(table.m_dialogs, end, [name](const DialogResource& dialog) {
          return ResourceNameMatches(name, dialog.m_id, dialog.m_name);
        });
    return found != end ? found : nullptr;
  });
}

const RawResource* FindRawResource(HMODULE module, LPCSTR type, LPCSTR name, bool* typeFound) {
  *typeFound = false;
  return SearchTables<RawResource>(module, [&](const ResourceTable& table) -> const RawResource* {
    for (std::size_t i = 0; i < table.m_rawCount; ++i) {
      const RawResource& raw = table.m_raw[i];
      if (!ResourceNameMatches(type, raw.m_typeId, raw.m_typeName)) continue;
      *typeFound = true;
      if (ResourceNameMatches(name, raw.m_nameId, raw.m_name)) return &raw;
    }
    return nullptr;
  });
}

}  // namespace winport::ui

void WinportRegisterResources(const void* addressInModule, const winport::ResourceTable* table) {
  HMODULE module = WinportModuleFromAddress(addressInModule);
  if (module == nullptr || table == nullptr) return;
  std::lock_guard lock(winport::ui::RegistryMutex());
  winport::ui::Registrations().push_back({module, table});
}

void WinportUnregisterResources(const winport::ResourceTable* table) {
  std::lock_guard lock(winport::ui::RegistryMutex());
  std::erase_if(winport::ui::Registrations(),
                [table](const auto& registration) { return registration.m_table == table; });
}
