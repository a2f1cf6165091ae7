// @brief FolderWatcher: the auto-refresh watcher, a thread that waits for a
// change anywhere under a folder and only raises the pending flag; the
// component runs the update on its own thread when it sees the flag.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "winport/win32.h"

class FolderWatcher {
 public:
  FolderWatcher() = default;
  ~FolderWatcher();
  FolderWatcher(const FolderWatcher&) = delete;
  FolderWatcher& operator=(const FolderWatcher&) = delete;

  // When the change notification is armed. Arming may walk the whole folder
  // tree: kBeforeReturn guarantees that a change made after Start returns is
  // reported; kOnThread lets Start return at once and costs nothing to a
  // host that stops the watcher soon after, since a stop cancels an arming
  // in progress.
  enum class Arming { kBeforeReturn, kOnThread };

  // Starts watching sFolder and its subfolders, stopping a running watcher
  // first. False when the stop signal or the thread cannot be made. While the
  // folder is not there (from the start, or gone after a change) the thread
  // raises the flag and waits for it to come back, then raises the flag again
  // and watches it as before; a folder that cannot be watched for any other
  // reason still starts a thread, which ends at once and gives the reason.
  bool Start(const std::string& sFolder, Arming arming = Arming::kBeforeReturn);
  // Signals the thread to stop and waits for its end; false when none was
  // started. Any thread may stop the watcher, not only the one that started it.
  bool Stop();
  // True while a started thread has not ended.
  bool IsRunning() const;

  // The refresh pending flag: raised by the thread, cleared by the update
  // before it works and raised again when it fails.
  bool IsPending() const { return m_bRefreshPending; }
  void MarkPending() { m_bRefreshPending = true; }
  void ClearPending() { m_bRefreshPending = false; }

  // Why the last thread ended without being asked to, or why the last start
  // failed; empty while a watcher runs or after one was stopped.
  std::string EndReason() const;

  // The thread and its stop signal (a manual-reset event); null while no
  // watcher runs.
  HANDLE Thread() const { return m_hWatcherThread; }
  HANDLE StopSignal() const { return m_hStopEvent; }

 private:
  struct Run;
  static unsigned __stdcall ThreadMain(void* pArg);
  static bool AwaitReturn(Run& run);
  void EndedBy(std::string sReason);
  void CloseHandles();

  HANDLE m_hWatcherThread = nullptr;
  HANDLE m_hStopEvent = nullptr;
  std::atomic<bool> m_bRefreshPending{false};
  mutable std::mutex m_reasonLock;
  std::string m_sEndReason;  // with m_reasonLock held
};
