// @brief Waiters, the wait lock and the waiter lists of waitable objects.
#include "winport/src/system/waitable.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

#if __has_include(<sys/eventfd.h>)
#include <sys/eventfd.h>
#define WINPORT_HAVE_EVENTFD 1
#endif

namespace winport::detail {

Waiter::Waiter() {
#ifdef WINPORT_HAVE_EVENTFD
  m_read = m_write = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
#else
  int ends[2];
  if (::pipe(ends) == 0) {
    for (int end : ends) {
      ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
      ::fcntl(end, F_SETFD, FD_CLOEXEC);
    }
    m_read = ends[0];
    m_write = ends[1];
  }
#endif
}

Waiter::~Waiter() {
  if (m_read >= 0) ::close(m_read);
  if (m_write >= 0 && m_write != m_read) ::close(m_write);
}

void Waiter::Wake() {
  const uint64_t one = 1;
  // A full pipe or a saturated counter already means "wake up".
  [[maybe_unused]] ssize_t written = ::write(m_write, &one, m_write == m_read ? sizeof one : 1);
}

void Waiter::Drain() {
  uint64_t sink[8];
  while (::read(m_read, sink, m_write == m_read ? sizeof sink[0] : sizeof sink) > 0) {
  }
}

std::mutex& WaitLock() {
  static std::mutex* lock = new std::mutex;  // outlives threads that end after main
  return *lock;
}

void Waitable::RemoveWaiter(Waiter* waiter) {
  m_waiters.erase(std::remove(m_waiters.begin(), m_waiters.end(), waiter), m_waiters.end());
}

void Waitable::WakeWaiters() {
  for (Waiter* waiter : m_waiters) waiter->Wake();
}

}  // namespace winport::detail
