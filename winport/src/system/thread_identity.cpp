// @brief Thread identity and the mutexes a thread owns.
#include "winport/src/system/thread_identity.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "winport/api/sync.h"
#include "winport/src/system/mutex_object.h"

namespace winport::detail {
namespace {

std::atomic<DWORD> g_next_thread_id{1};
thread_local const DWORD t_thread_id = g_next_thread_id.fetch_add(1);

// The mutexes this thread owns; abandoned when the thread ends.
struct OwnedMutexes {
  std::vector<std::weak_ptr<MutexObject>> mutexes;
  ~OwnedMutexes() { AbandonOwnedMutexes(); }
};
thread_local OwnedMutexes t_owned;

}  // namespace

DWORD CurrentThreadId() { return t_thread_id; }

void NoteMutexOwned(const std::shared_ptr<MutexObject>& mutex) { t_owned.mutexes.push_back(mutex); }

void NoteMutexReleased(const MutexObject* mutex) {
  auto& list = t_owned.mutexes;
  list.erase(std::remove_if(list.begin(), list.end(),
                            [mutex](const std::weak_ptr<MutexObject>& held) {
                              auto alive = held.lock();
                              return alive == nullptr || alive.get() == mutex;
                            }),
             list.end());
}

void AbandonOwnedMutexes() {
  std::vector<std::weak_ptr<MutexObject>> owned;
  owned.swap(t_owned.mutexes);
  if (owned.empty()) return;
  std::lock_guard<std::mutex> guard(WaitLock());
  for (const auto& held : owned) {
    if (auto mutex = held.lock()) mutex->Abandon(t_thread_id);
  }
}

}  // namespace winport::detail

// Ids are winport's own per-thread numbers rather than the kernel's: they are
// unique among the threads of the process and never reused.
DWORD GetCurrentThreadId() { return winport::detail::CurrentThreadId(); }
