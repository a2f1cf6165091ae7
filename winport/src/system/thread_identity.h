// @brief Thread identity and the mutexes a thread owns.
#pragma once

#include <memory>

#include "winport/api/base.h"

namespace winport::detail {

class MutexObject;

// A number unique to the calling thread for the life of the process (never
// reused, unlike kernel thread ids), so mutex ownership cannot pass to a new
// thread that happens to get an old id.
DWORD CurrentThreadId();

// With WaitLock() held: the calling thread has just taken, or has just let
// go of, its last hold on `mutex`.
void NoteMutexOwned(const std::shared_ptr<MutexObject>& mutex);
void NoteMutexReleased(const MutexObject* mutex);

// Abandons every mutex the calling thread still owns, as Windows does when a
// thread ends. Runs by itself when any thread ends; a thread started by
// _beginthreadex runs it before its handle is signalled.
void AbandonOwnedMutexes();

}  // namespace winport::detail
