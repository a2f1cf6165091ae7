// @brief Event objects: CreateEventA and SetEvent.
#include <memory>
#include <mutex>

#include "winport/api/errors.h"
#include "winport/api/sync.h"
#include "winport/src/system/waitable.h"

namespace winport::detail {
namespace {

// A manual-reset event stays signalled once set; an auto-reset event lets
// exactly one wait through and resets itself.
class EventObject : public Waitable {
 public:
  EventObject(bool manual_reset, bool signalled)
      : Waitable(HandleKind::kEvent), m_manual_reset(manual_reset), m_signalled(signalled) {}

  Acquire TryAcquire(DWORD) override {
    if (!m_signalled) return Acquire::kNotSignalled;
    if (!m_manual_reset) m_signalled = false;
    return Acquire::kAcquired;
  }

  // With WaitLock() held.
  void Set() {
    m_signalled = true;
    WakeWaiters();
  }

 private:
  const bool m_manual_reset;
  bool m_signalled;  // with WaitLock() held
};

}  // namespace
}  // namespace winport::detail

// Named events (shared between processes) are not offered: a name fails with
// ERROR_NOT_SUPPORTED. Security attributes are ignored.
HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCSTR lpName) {
  using namespace winport::detail;
  if (lpName != nullptr) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
  }
  SetLastError(ERROR_SUCCESS);
  return RegisterHandle(
      std::make_shared<EventObject>(bManualReset != FALSE, bInitialState != FALSE));
}

BOOL SetEvent(HANDLE hEvent) {
  using namespace winport::detail;
  auto event = LookupHandleAs<EventObject>(hEvent, HandleKind::kEvent);
  if (event == nullptr) return FALSE;
  std::lock_guard<std::mutex> guard(WaitLock());
  event->Set();
  return TRUE;
}
