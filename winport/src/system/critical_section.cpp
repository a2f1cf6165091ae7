// @brief Critical sections: recursive in-process locks.
#include <mutex>
#include <new>

#include "winport/api/sync.h"

namespace {

std::recursive_mutex* LockOf(LPCRITICAL_SECTION section) {
  return std::launder(reinterpret_cast<std::recursive_mutex*>(section->m_storage));
}

}  // namespace

static_assert(sizeof(CRITICAL_SECTION::m_storage) >= sizeof(std::recursive_mutex));
static_assert(alignof(CRITICAL_SECTION) >= alignof(std::recursive_mutex));

void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  new (lpCriticalSection->m_storage) std::recursive_mutex;
}

void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  LockOf(lpCriticalSection)->lock();
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  return LockOf(lpCriticalSection)->try_lock() ? TRUE : FALSE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  LockOf(lpCriticalSection)->unlock();
}

void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
  LockOf(lpCriticalSection)->~recursive_mutex();
}
