// @brief The auto-refresh watcher: a thread that waits for a change anywhere
// under the help folder and only raises m_bRefreshPending; the next Find
// runs the update on the component's own thread.
#include <memory>
#include <string>

#include "component/com/vivevi_vadiro.h"
#include "component/host/watcher.h"

namespace {

// File and folder names, sizes and last-write times; not attributes.
constexpr DWORD kChangeFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;
static_assert(kChangeFilter == 0x1B);
// Lets a burst of changes settle before the flag is raised and the
// notification re-armed.
constexpr DWORD kSettleMilliseconds = 100;
constexpr DWORD kStopSliceMilliseconds = 500;

}  // namespace

unsigned __stdcall WatcherThread(void* pArg) {
  std::unique_ptr<WatcherStart> pStart(static_cast<WatcherStart*>(pArg));
  ViveviVadiro* pComponent = pStart->pComponent;
  HANDLE hMutex = pComponent->m_hWatcherMutex;
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
    pComponent->m_bRefreshPending = true;
  }
  // Owned after the stop signal; otherwise the release fails harmlessly.
  ReleaseMutex(hMutex);
  return 0;
}

bool ViveviVadiro::StartWatcher() {
  // One watcher at a time: a running one is stopped and waited for first.
  StopWatcher();
  if (m_hWatcherMutex) {
    ReleaseMutex(m_hWatcherMutex);
    CloseHandle(m_hWatcherMutex);
    m_hWatcherMutex = nullptr;
  }
  m_hWatcherMutex = CreateMutexA(nullptr, TRUE, nullptr);
  if (!m_hWatcherMutex) {
    return false;
  }

  auto* pStart = new WatcherStart{m_sHelpDir, this};
  uintptr_t hThread = _beginthreadex(nullptr, 0, &WatcherThread, pStart, 0, nullptr);
  m_hWatcherThread = reinterpret_cast<HANDLE>(hThread);
  if (m_hWatcherThread) {
    return true;
  }

  delete pStart;
  ReleaseMutex(m_hWatcherMutex);
  CloseHandle(m_hWatcherMutex);
  m_hWatcherMutex = nullptr;
  return false;
}

bool ViveviVadiro::StopWatcher() {
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

STDMETHODIMP ViveviVadiro::get_AutoRefresh(LONG* pVal) {
  if (!pVal) {
    return E_INVALIDARG;
  }
  *pVal = m_bAutoRefresh ? 1 : 0;
  return S_OK;
}

STDMETHODIMP ViveviVadiro::put_AutoRefresh(LONG newVal) {
  try {
    const bool bRequested = newVal != 0;
    if (bRequested == m_bAutoRefresh) {
      return S_OK;
    }
    if (!(bRequested ? StartWatcher() : StopWatcher())) {
      return E_FAIL;
    }
    m_bAutoRefresh = bRequested;
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}
