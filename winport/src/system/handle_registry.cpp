// @brief The process-wide registry of live handle objects.
#include "winport/src/system/handle_registry.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <unordered_map>

#include "winport/api/errors.h"

namespace winport::detail {
namespace {

struct Registry {
  std::mutex lock;
  // Multiples of 4 from 0x1000 up, as Windows handle values are; far below
  // the top of the address space, so INVALID_HANDLE_VALUE is never one.
  uintptr_t next = 0x1000;
  std::unordered_map<HANDLE, std::shared_ptr<HandleObject>> live;
};

// Never destroyed: handles may still be closed by static destructors and by
// threads that outlive main.
Registry& TheRegistry() {
  static Registry* registry = new Registry;
  return *registry;
}

bool KindIn(HandleKind kind, std::initializer_list<HandleKind> kinds) {
  return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
}

}  // namespace

HANDLE RegisterHandle(std::shared_ptr<HandleObject> object) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  HANDLE handle = reinterpret_cast<HANDLE>(registry.next);
  registry.next += 4;
  registry.live.emplace(handle, std::move(object));
  return handle;
}

std::shared_ptr<HandleObject> LookupHandle(HANDLE handle, std::initializer_list<HandleKind> kinds) {
  Registry& registry = TheRegistry();
  {
    std::lock_guard<std::mutex> guard(registry.lock);
    auto found = registry.live.find(handle);
    if (found != registry.live.end() && KindIn(found->second->Kind(), kinds)) {
      return found->second;
    }
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

BOOL UnregisterHandle(HANDLE handle, std::initializer_list<HandleKind> kinds) {
  Registry& registry = TheRegistry();
  std::shared_ptr<HandleObject> released;  // destroyed after the lock is let go
  {
    std::lock_guard<std::mutex> guard(registry.lock);
    auto found = registry.live.find(handle);
    if (found != registry.live.end() && KindIn(found->second->Kind(), kinds)) {
      released = std::move(found->second);
      registry.live.erase(found);
    }
  }
  if (released == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

}  // namespace winport::detail
