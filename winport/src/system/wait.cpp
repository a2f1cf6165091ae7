// @brief WaitForSingleObject and WaitForMultipleObjects.
#include <poll.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <vector>

#include "winport/api/errors.h"
#include "winport/api/sync.h"
#include "winport/src/system/thread_identity.h"
#include "winport/src/system/waitable.h"

namespace winport::detail {
namespace {

using Clock = std::chrono::steady_clock;

thread_local Waiter t_waiter;

// Checks every object in order under the wait lock; the lowest signalled index
// wins, as on Windows. Registers the waiter with all of them when none is.
bool TryAll(const std::vector<std::shared_ptr<Waitable>>& objects, Waiter* register_waiter,
            DWORD& result) {
  std::lock_guard<std::mutex> guard(WaitLock());
  const DWORD self = CurrentThreadId();
  for (size_t i = 0; i < objects.size(); ++i) {
    switch (objects[i]->TryAcquire(self)) {
      case Acquire::kAcquired:
        result = WAIT_OBJECT_0 + static_cast<DWORD>(i);
        return true;
      case Acquire::kAbandoned:
        result = WAIT_ABANDONED_0 + static_cast<DWORD>(i);
        return true;
      case Acquire::kNotSignalled:
        break;
    }
  }
  if (register_waiter != nullptr) {
    for (const auto& object : objects) object->AddWaiter(register_waiter);
  }
  return false;
}

void Unregister(const std::vector<std::shared_ptr<Waitable>>& objects, Waiter* waiter) {
  std::lock_guard<std::mutex> guard(WaitLock());
  for (const auto& object : objects) object->RemoveWaiter(waiter);
}

// Milliseconds left until `deadline`, rounded up, for poll(); -1 for no deadline.
int PollTimeout(bool infinite, Clock::time_point deadline) {
  if (infinite) return -1;
  const auto left = deadline - Clock::now();
  if (left <= Clock::duration::zero()) return 0;
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return ms > 0x7fffffff ? 0x7fffffff : static_cast<int>(ms);
}

DWORD WaitOn(const std::vector<std::shared_ptr<Waitable>>& objects, DWORD milliseconds) {
  const bool infinite = milliseconds == INFINITE;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  if (!t_waiter.Valid()) {
    SetLastError(ERROR_NO_SYSTEM_RESOURCES);
    return WAIT_FAILED;
  }
  std::vector<pollfd> descriptors{{t_waiter.Descriptor(), POLLIN, 0}};
  for (const auto& object : objects) {
    if (object->PollDescriptor() >= 0) descriptors.push_back({object->PollDescriptor(), POLLIN, 0});
  }
  DWORD result = WAIT_FAILED;
  for (;;) {
    for (const auto& object : objects) object->Refresh();
    const int timeout = PollTimeout(infinite, deadline);
    if (TryAll(objects, timeout == 0 ? nullptr : &t_waiter, result)) return result;
    if (timeout == 0) return WAIT_TIMEOUT;
    const int ready = ::poll(descriptors.data(), descriptors.size(), timeout);
    const int poll_error = errno;
    Unregister(objects, &t_waiter);
    t_waiter.Drain();
    if (ready < 0 && poll_error != EINTR) {
      SetLastError(WinportErrorFromErrno(poll_error));
      return WAIT_FAILED;
    }
  }
}

}  // namespace
}  // namespace winport::detail

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  return WaitForMultipleObjects(1, &hHandle, FALSE, dwMilliseconds);
}

// Waiting for all objects at once (bWaitAll TRUE) is not offered: it fails
// with WAIT_FAILED and ERROR_NOT_SUPPORTED. Nothing we build needs it, and
// taking several objects atomically would need a different design.
DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                             DWORD dwMilliseconds) {
  using namespace winport::detail;
  if (bWaitAll) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return WAIT_FAILED;
  }
  if (nCount == 0 || nCount > MAXIMUM_WAIT_OBJECTS || lpHandles == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  std::vector<std::shared_ptr<Waitable>> objects;
  objects.reserve(nCount);
  for (DWORD i = 0; i < nCount; ++i) {
    auto object = LookupHandle(lpHandles[i], {HandleKind::kThread, HandleKind::kMutex,
                                              HandleKind::kEvent, HandleKind::kChangeNotification});
    if (object == nullptr) return WAIT_FAILED;  // ERROR_INVALID_HANDLE is set
    objects.push_back(std::static_pointer_cast<Waitable>(std::move(object)));
  }
  return WaitOn(objects, dwMilliseconds);
}
