// @brief Mutex objects: CreateMutexA, ReleaseMutex and ownership.
#include "winport/src/system/mutex_object.h"

#include <limits>

#include "winport/api/errors.h"
#include "winport/api/sync.h"
#include "winport/src/system/errno_map.h"
#include "winport/src/system/thread_identity.h"

namespace winport::detail {

Acquire MutexObject::TryAcquire(DWORD thread_id) {
  if (m_owner == thread_id) {
    if (m_count == std::numeric_limits<unsigned>::max()) return Acquire::kNotSignalled;
    ++m_count;
    return Acquire::kAcquired;
  }
  if (m_owner != 0) return Acquire::kNotSignalled;
  m_owner = thread_id;
  m_count = 1;
  NoteMutexOwned(shared_from_this());
  if (m_abandoned) {
    m_abandoned = false;
    return Acquire::kAbandoned;
  }
  return Acquire::kAcquired;
}

bool MutexObject::Release(DWORD thread_id) {
  if (m_owner != thread_id || m_count == 0) return false;
  if (--m_count == 0) {
    m_owner = 0;
    NoteMutexReleased(this);
    WakeWaiters();
  }
  return true;
}

void MutexObject::Abandon(DWORD thread_id) {
  if (m_owner != thread_id) return;
  m_owner = 0;
  m_count = 0;
  m_abandoned = true;
  WakeWaiters();
}

}  // namespace winport::detail

// Named mutexes (shared between processes) are not offered: a name fails with
// ERROR_NOT_SUPPORTED. Security attributes are ignored.
HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner, LPCSTR lpName) {
  using namespace winport::detail;
  if (lpName != nullptr) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  auto mutex = std::make_shared<MutexObject>();
  if (bInitialOwner) {
    std::lock_guard<std::mutex> guard(WaitLock());
    mutex->TryAcquire(CurrentThreadId());
  }
  SetLastError(ERROR_SUCCESS);
  return RegisterHandle(std::move(mutex));
}

BOOL ReleaseMutex(HANDLE hMutex) {
  using namespace winport::detail;
  auto mutex = LookupHandleAs<MutexObject>(hMutex, HandleKind::kMutex);
  if (mutex == nullptr) return FALSE;
  std::lock_guard<std::mutex> guard(WaitLock());
  if (!mutex->Release(CurrentThreadId())) return Fail(ERROR_NOT_OWNER);
  return TRUE;
}
