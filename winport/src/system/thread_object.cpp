// @brief Threads started by _beginthreadex, their handles and exit codes.
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "winport/api/errors.h"
#include "winport/api/sync.h"
#include "winport/src/system/errno_map.h"
#include "winport/src/system/thread_identity.h"
#include "winport/src/system/waitable.h"

namespace winport::detail {
namespace {

// Signalled, for good, when the thread's function has returned.
class ThreadObject : public Waitable {
 public:
  ThreadObject() : Waitable(HandleKind::kThread) {}

  Acquire TryAcquire(DWORD) override {
    return m_finished ? Acquire::kAcquired : Acquire::kNotSignalled;
  }

  // With WaitLock() held.
  void Finish(DWORD exit_code) {
    m_exit_code = exit_code;
    m_finished = true;
    WakeWaiters();
  }
  DWORD ExitCode() const { return m_finished ? m_exit_code : STILL_ACTIVE; }

 private:
  bool m_finished = false;
  DWORD m_exit_code = 0;
};

}  // namespace
}  // namespace winport::detail

// The thread starts at once: CREATE_SUSPENDED is not offered (the call fails
// with ERROR_NOT_SUPPORTED). Security attributes and the stack size are not
// applied. The thread keeps its own reference to its object, so closing the
// handle early is safe.
uintptr_t _beginthreadex(void* security, unsigned stack_size,
                         _beginthreadex_proc_type start_address, void* arglist, unsigned initflag,
                         unsigned* thrdaddr) {
  using namespace winport::detail;
  if (start_address == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (initflag != 0) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return 0;
  }
  auto object = std::make_shared<ThreadObject>();
  std::mutex started_lock;
  std::condition_variable started;
  DWORD started_id = 0;
  try {
    std::thread([object, start_address, arglist, &started_lock, &started, &started_id] {
      {
        // Notified under the lock: the creator cannot return and destroy the
        // condition before this thread is done with it.
        std::lock_guard<std::mutex> guard(started_lock);
        started_id = CurrentThreadId();
        started.notify_one();
      }
      const unsigned code = start_address(arglist);
      AbandonOwnedMutexes();
      std::lock_guard<std::mutex> guard(WaitLock());
      object->Finish(code);
    }).detach();
  } catch (const std::system_error&) {
    SetLastError(ERROR_NO_SYSTEM_RESOURCES);
    return 0;
  }
  {
    std::unique_lock<std::mutex> guard(started_lock);
    started.wait(guard, [&] { return started_id != 0; });
  }
  if (thrdaddr != nullptr) *thrdaddr = started_id;
  return reinterpret_cast<uintptr_t>(RegisterHandle(std::move(object)));
}

BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
  using namespace winport::detail;
  auto thread = LookupHandleAs<ThreadObject>(hThread, HandleKind::kThread);
  if (thread == nullptr) return FALSE;
  if (lpExitCode == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  std::lock_guard<std::mutex> guard(WaitLock());
  *lpExitCode = thread->ExitCode();
  return TRUE;
}
