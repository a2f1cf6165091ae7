// @brief Objects that WaitForSingleObject and WaitForMultipleObjects wait on.
//
// The design: the state of every mutex, event, thread and change notification is
// guarded by one process-wide wait lock. A waiting thread checks its objects
// under that lock; if none is signalled it registers its Waiter (an eventfd,
// or a pipe where eventfd is missing) with each object and blocks in poll()
// on that descriptor together with the descriptors of objects whose news
// arrives from the kernel (a change notification's inotify queue). An object
// that becomes signalled wakes the registered waiters; they check again.
// Nothing spins: every wait sleeps in the kernel until something happens or
// time runs out.
#pragma once

#include <mutex>
#include <vector>

#include "winport/src/system/handle_registry.h"

namespace winport::detail {

enum class Acquire { kNotSignalled, kAcquired, kAbandoned };

// The calling thread's wake-up descriptor.
class Waiter {
 public:
  Waiter();
  ~Waiter();
  Waiter(const Waiter&) = delete;
  Waiter& operator=(const Waiter&) = delete;

  bool Valid() const { return m_read >= 0; }
  int Descriptor() const { return m_read; }
  void Wake();
  void Drain();

 private:
  int m_read = -1;
  int m_write = -1;  // the same descriptor as m_read for an eventfd
};

// Guards the signal state of every waitable object.
std::mutex& WaitLock();

class Waitable : public HandleObject {
 public:
  using HandleObject::HandleObject;

  // With WaitLock() held: takes the object if it is signalled (owning a
  // mutex, resetting an auto-reset event) and reports how.
  virtual Acquire TryAcquire(DWORD thread_id) = 0;

  // Without the wait lock: brings the signal state up to date with news the
  // kernel has queued (a change notification reads its inotify queue).
  virtual void Refresh() {}

  // A descriptor that turns readable when Refresh may find news, or -1.
  virtual int PollDescriptor() const { return -1; }

  // With WaitLock() held.
  void AddWaiter(Waiter* waiter) { m_waiters.push_back(waiter); }
  void RemoveWaiter(Waiter* waiter);

 protected:
  // With WaitLock() held: tells every registered waiter to check again.
  void WakeWaiters();

 private:
  std::vector<Waiter*> m_waiters;
};

}  // namespace winport::detail
