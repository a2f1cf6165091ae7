// @brief The auto-refresh watcher's thread, its start and its stop.
#include "component/host/watcher.h"

#include <memory>

namespace {

// File and folder names, sizes and last-write times; not attributes.
constexpr DWORD kChangeFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;
static_assert(kChangeFilter == 0x1B);
// Lets a burst of changes settle before the flag is raised and the
// notification re-armed.
constexpr DWORD kSettleMilliseconds = 100;
constexpr DWORD kStopSliceMilliseconds = 500;

// Handed to the new thread, which releases it when it ends.
struct WatcherStart {
  std::string sFolder;
  FolderWatcher* pWatcher;
  HANDLE hStopSignal;
};

}  // namespace

unsigned __stdcall FolderWatcher::Run(void* pArg) {
  std::unique_ptr<WatcherStart> pStart(static_cast<WatcherStart*>(pArg));
  FolderWatcher* pWatcher = pStart->pWatcher;
  HANDLE hMutex = pStart->hStopSignal;
  const char* sFolder = pStart->sFolder.c_str();
  HANDLE hChange = FindFirstChangeNotificationA(sFolder, TRUE, kChangeFilter);
  // A folder that cannot be watched ends the watcher at once.
  while (hChange != INVALID_HANDLE_VALUE && hChange != nullptr) {
    const HANDLE handles[2] = {hChange, hMutex};
    DWORD dwWait = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    FindCloseChangeNotification(hChange);
    if (dwWait != WAIT_OBJECT_0) {
      break;  // the stop signal, a failure or abandonment
    }
    Sleep(kSettleMilliseconds);
    // Armed again before the flag is raised, so whoever sees the flag knows
    // that a later change will be reported too.
    hChange = FindFirstChangeNotificationA(sFolder, TRUE, kChangeFilter);
    pWatcher->MarkPending();
  }
  // Owned after the stop signal; otherwise the release fails harmlessly.
  ReleaseMutex(hMutex);
  return 0;
}

FolderWatcher::~FolderWatcher() {
  Stop();
  CloseStopSignal();
}

void FolderWatcher::CloseStopSignal() {
  if (m_hWatcherMutex) {
    ReleaseMutex(m_hWatcherMutex);  // fails harmlessly when not owned
    CloseHandle(m_hWatcherMutex);
    m_hWatcherMutex = nullptr;
  }
}

bool FolderWatcher::Start(const std::string& sFolder) {
  // One watcher at a time: a running one is stopped and waited for first.
  Stop();
  CloseStopSignal();
  m_hWatcherMutex = CreateMutexA(nullptr, TRUE, nullptr);
  if (!m_hWatcherMutex) {
    return false;
  }

  auto* pStart = new WatcherStart{sFolder, this, m_hWatcherMutex};
  uintptr_t hThread = _beginthreadex(nullptr, 0, &Run, pStart, 0, nullptr);
  m_hWatcherThread = reinterpret_cast<HANDLE>(hThread);
  if (m_hWatcherThread) {
    return true;
  }

  delete pStart;
  CloseStopSignal();
  return false;
}

bool FolderWatcher::Stop() {
  if (!m_hWatcherThread) {
    return false;
  }
  ReleaseMutex(m_hWatcherMutex);
  while (WaitForSingleObject(m_hWatcherThread, kStopSliceMilliseconds) == WAIT_TIMEOUT) {
  }
  CloseHandle(m_hWatcherThread);
  m_hWatcherThread = nullptr;
  CloseHandle(m_hWatcherMutex);
  m_hWatcherMutex = nullptr;
  return true;
}
