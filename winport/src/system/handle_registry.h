// @brief The process-wide registry of live handle objects.
//
// A HANDLE is a number the registry hands out and never hands out again (not
// an address, which a new object could reuse the moment an old one is freed),
// so a closed, foreign or forged handle is reported as ERROR_INVALID_HANDLE
// and nothing is ever dereferenced through it. Lookups hand out
// shared ownership: an object closed on one thread while another still uses
// it (a wait in progress) lives until that use ends.
#pragma once

#include <initializer_list>
#include <memory>

#include "winport/api/base.h"

namespace winport::detail {

enum class HandleKind { kFindSearch, kThread, kMutex, kEvent, kChangeNotification };

class HandleObject {
 public:
  explicit HandleObject(HandleKind kind) : m_kind(kind) {}
  virtual ~HandleObject() = default;
  HandleObject(const HandleObject&) = delete;
  HandleObject& operator=(const HandleObject&) = delete;

  HandleKind Kind() const { return m_kind; }

 private:
  const HandleKind m_kind;
};

// Adds `object` to the registry and returns its handle.
HANDLE RegisterHandle(std::shared_ptr<HandleObject> object);

// The live object behind `handle` if it is of one of `kinds`; otherwise null
// with ERROR_INVALID_HANDLE as the last error.
std::shared_ptr<HandleObject> LookupHandle(HANDLE handle, std::initializer_list<HandleKind> kinds);

template <class T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle, HandleKind kind) {
  return std::static_pointer_cast<T>(LookupHandle(handle, {kind}));
}

// Removes `handle` from the registry if it is live and of one of `kinds`;
// otherwise sets ERROR_INVALID_HANDLE and returns FALSE. The object itself is
// destroyed when its last user lets go of it.
BOOL UnregisterHandle(HANDLE handle, std::initializer_list<HandleKind> kinds);

}  // namespace winport::detail
