// @brief FolderWatcher: the auto-refresh watcher, a thread that waits for a
// change anywhere under a folder and only raises the pending flag; the
// component runs the update on its own thread when it sees the flag.
#pragma once

#include <atomic>
#include <string>

#include "winport/win32.h"

class FolderWatcher {
 public:
  FolderWatcher() = default;
  ~FolderWatcher();
  FolderWatcher(const FolderWatcher&) = delete;
  FolderWatcher& operator=(const FolderWatcher&) = delete;

  // Starts watching sFolder and its subfolders, stopping a running watcher
  // first; false when the stop signal or the thread cannot be made.
  bool Start(const std::string& sFolder);
  // Signals the thread to stop and waits for its end; false when none was
  // started.
  bool Stop();

  // The refresh pending flag: raised by the thread, cleared by the update
  // before it works and raised again when it fails.
  bool IsPending() const { return m_bRefreshPending; }
  void MarkPending() { m_bRefreshPending = true; }
  void ClearPending() { m_bRefreshPending = false; }

  // The thread and its stop signal (a mutex the starter owns until Stop);
  // null while no watcher runs.
  HANDLE Thread() const { return m_hWatcherThread; }
  HANDLE StopSignal() const { return m_hWatcherMutex; }

 private:
  static unsigned __stdcall Run(void* pArg);
  void CloseStopSignal();

  HANDLE m_hWatcherThread = nullptr;
  HANDLE m_hWatcherMutex = nullptr;
  std::atomic<bool> m_bRefreshPending{false};
};
