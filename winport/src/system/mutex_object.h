// @brief The mutex object behind CreateMutexA handles.
#pragma once

#include <memory>

#include "winport/src/system/waitable.h"

namespace winport::detail {

// Owned by at most one thread, which may take it again (each take needs its
// own release). A mutex whose owner ends without releasing it is abandoned:
// the next thread to take it owns it and is told WAIT_ABANDONED.
class MutexObject : public Waitable, public std::enable_shared_from_this<MutexObject> {
 public:
  MutexObject() : Waitable(HandleKind::kMutex) {}

  // All with WaitLock() held.
  Acquire TryAcquire(DWORD thread_id) override;
  bool Release(DWORD thread_id);  // false when `thread_id` is not the owner
  void Abandon(DWORD thread_id);  // only if `thread_id` still owns it

 private:
  DWORD m_owner = 0;
  unsigned m_count = 0;
  bool m_abandoned = false;
};

}  // namespace winport::detail
