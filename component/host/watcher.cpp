// @brief The auto-refresh watcher's thread, its start and its stop.
#include "component/host/watcher.h"

#include <exception>
#include <filesystem>
#include <memory>

#include "component/search/text_conversion.h"
#include "component/toolkit/system_paths.h"
#include "component/toolkit/toolkit_error.h"

namespace {

// File and folder names, sizes and last-write times; not attributes.
constexpr DWORD kChangeFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;
static_assert(kChangeFilter == 0x1B);
// Lets a burst of changes settle before the flag is raised and the
// notification re-armed.
constexpr DWORD kSettleMilliseconds = 100;
constexpr DWORD kStopSliceMilliseconds = 500;
// While the folder is gone its parent is watched for it to come back, and
// looked at this often besides, for a parent that cannot be watched.
constexpr DWORD kReturnPollMilliseconds = 1000;

bool Armed(HANDLE hChange) {
  // The system spells its invalid handle as a cast of -1.
  // NOLINTNEXTLINE(performance-no-int-to-ptr)
  return hChange != INVALID_HANDLE_VALUE && hChange != nullptr;
}

// Gives up, failing with ERROR_OPERATION_ABORTED, when hStop is signalled
// part-way through a long arming.
HANDLE Arm(const std::string& sFolder, HANDLE hStop, BOOL bSubtree = TRUE,
           DWORD dwFilter = kChangeFilter) {
#ifdef _WIN32
  (void)hStop;  // the system arms a subtree without walking it
  return FindFirstChangeNotificationW(NarrowToWide(sFolder.c_str()).c_str(), bSubtree, dwFilter);
#else
  return WinportFindFirstChangeNotificationCancellable(sFolder.c_str(), bSubtree, dwFilter, hStop);
#endif
}

bool StopSignalled(HANDLE hStop) { return WaitForSingleObject(hStop, 0) == WAIT_OBJECT_0; }

// The folder cannot be watched because it is not there (moved away, deleted,
// a share not mounted yet); it may come back.
bool IsGone(DWORD dwError) {
  return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND;
}

// The folder that holds sFolder, where its coming back shows as a new name.
std::string ParentFolder(const std::string& sFolder) {
  std::filesystem::path path = FileSystemPath(sFolder);
  if (!path.has_filename()) {
    path = path.parent_path();  // a trailing separator
  }
  const std::filesystem::path parent = path.parent_path();
  return parent.empty() ? std::string(".") : PathText(parent);
}

}  // namespace

// Handed to the new thread, which releases it when it ends.
struct FolderWatcher::Run {
  std::string sFolder;
  FolderWatcher* pWatcher;
  HANDLE hStop;
  HANDLE hChange;    // owned by the thread; armed by the starter or the thread
  DWORD dwArmError;  // why the starter could not arm it
  bool bArmHere;     // the thread arms it
};

// Waits until the folder can be watched again: at each change of names in its
// parent, and at a bounded rate besides. False once the stop signal came;
// true after each try, with hChange armed or dwArmError saying why not.
bool FolderWatcher::AwaitReturn(Run& run) {
  HANDLE hParent = Arm(ParentFolder(run.sFolder), run.hStop, FALSE, FILE_NOTIFY_CHANGE_DIR_NAME);
  const HANDLE handles[2] = {run.hStop, hParent};
  const DWORD dwWait =
      WaitForMultipleObjects(Armed(hParent) ? 2 : 1, handles, FALSE, kReturnPollMilliseconds);
  if (Armed(hParent)) {
    FindCloseChangeNotification(hParent);
  }
  // Also the pause that keeps a busy parent from making this a busy loop.
  if (dwWait == WAIT_OBJECT_0 ||
      WaitForSingleObject(run.hStop, kSettleMilliseconds) == WAIT_OBJECT_0) {
    return false;
  }
  run.hChange = Arm(run.sFolder, run.hStop);
  run.dwArmError = GetLastError();
  return true;
}

unsigned __stdcall FolderWatcher::ThreadMain(void* pArg) {
  std::unique_ptr<Run> pRun(static_cast<Run*>(pArg));
  FolderWatcher* pWatcher = pRun->pWatcher;
  // Nothing may leave the thread: whatever ends it unasked marks the
  // collection stale, since changes may have gone unreported, and says why.
  try {
    if (pRun->bArmHere) {
      pRun->hChange = Arm(pRun->sFolder, pRun->hStop);
      pRun->dwArmError = GetLastError();
    }
    bool bWatched = false;  // the folder has been watched: changes may have gone unseen
    for (;;) {
      if (!Armed(pRun->hChange) && StopSignalled(pRun->hStop)) {
        return 0;  // asked to stop, perhaps part-way through an arming
      }
      if (!Armed(pRun->hChange) && IsGone(pRun->dwArmError)) {
        // Whatever is in the folder when it comes back may differ from the
        // index; until then an update finds no folder to compare with.
        pWatcher->MarkPending();
        do {
          if (!AwaitReturn(*pRun)) {
            return 0;
          }
        } while (!Armed(pRun->hChange) && IsGone(pRun->dwArmError));
        if (Armed(pRun->hChange)) {
          pWatcher->MarkPending();
        }
        continue;
      }
      if (!Armed(pRun->hChange)) {
        pWatcher->EndedBy((bWatched ? "stopped watching " : "cannot watch ") + pRun->sFolder +
                          ": " + SystemErrorText(pRun->dwArmError));
        return 0;
      }
      bWatched = true;
      const HANDLE handles[2] = {pRun->hChange, pRun->hStop};
      const DWORD dwWait = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
      const DWORD dwWaitError = GetLastError();
      FindCloseChangeNotification(pRun->hChange);
      pRun->hChange = nullptr;
      if (dwWait == WAIT_OBJECT_0 + 1) {
        return 0;  // asked to stop
      }
      if (dwWait != WAIT_OBJECT_0) {
        pWatcher->MarkPending();
        pWatcher->EndedBy("waiting for changes failed: " + SystemErrorText(dwWaitError));
        return 0;
      }
      // The settling pause ends early when the stop signal comes.
      if (WaitForSingleObject(pRun->hStop, kSettleMilliseconds) == WAIT_OBJECT_0) {
        return 0;
      }
      // Armed again before the flag is raised, so whoever sees the flag knows
      // that a later change will be reported too.
      pRun->hChange = Arm(pRun->sFolder, pRun->hStop);
      pRun->dwArmError = GetLastError();
      pWatcher->MarkPending();
    }
  } catch (const std::exception& error) {
    pWatcher->MarkPending();
    pWatcher->EndedBy(std::string("the watcher failed: ") + error.what());
  } catch (...) {
    pWatcher->MarkPending();
    pWatcher->EndedBy("the watcher failed");
  }
  if (Armed(pRun->hChange)) {
    FindCloseChangeNotification(pRun->hChange);
  }
  return 0;
}

void FolderWatcher::EndedBy(std::string sReason) {
  try {
    std::lock_guard<std::mutex> guard(m_reasonLock);
    m_sEndReason = std::move(sReason);
  } catch (...) {
    // The stale mark already says what matters.
  }
}

std::string FolderWatcher::EndReason() const {
  std::lock_guard<std::mutex> guard(m_reasonLock);
  return m_sEndReason;
}

FolderWatcher::~FolderWatcher() { Stop(); }

void FolderWatcher::CloseHandles() {
  if (m_hWatcherThread) {
    CloseHandle(m_hWatcherThread);
    m_hWatcherThread = nullptr;
  }
  if (m_hStopEvent) {
    CloseHandle(m_hStopEvent);
    m_hStopEvent = nullptr;
  }
}

bool FolderWatcher::Start(const std::string& sFolder, Arming arming) {
  // One watcher at a time: a running one is stopped and waited for first.
  Stop();
  {
    std::lock_guard<std::mutex> guard(m_reasonLock);
    m_sEndReason.clear();
  }
  // An event, not a mutex: a mutex could be released only by the thread that
  // started the watcher, and a stop from any other thread would wait forever.
  m_hStopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!m_hStopEvent) {
    EndedBy("no stop signal: " + SystemErrorText(GetLastError()));
    return false;
  }
  const bool bArmHere = arming == Arming::kBeforeReturn;
  auto pRun =
      std::make_unique<Run>(Run{sFolder, this, m_hStopEvent, nullptr, ERROR_SUCCESS, !bArmHere});
  if (bArmHere) {
    // So that no change made after the start returns can go unseen.
    pRun->hChange = Arm(sFolder, nullptr);
    pRun->dwArmError = GetLastError();
  }
  const uintptr_t hThread = _beginthreadex(nullptr, 0, &ThreadMain, pRun.get(), 0, nullptr);
  // The thread start gives its handle as an integer.
  // NOLINTNEXTLINE(performance-no-int-to-ptr)
  m_hWatcherThread = reinterpret_cast<HANDLE>(hThread);
  if (m_hWatcherThread) {
    (void)pRun.release();  // the thread's now
    return true;
  }
  EndedBy("no watcher thread: " + SystemErrorText(GetLastError()));
  if (Armed(pRun->hChange)) {
    FindCloseChangeNotification(pRun->hChange);
  }
  CloseHandles();
  return false;
}

bool FolderWatcher::Stop() {
  if (!m_hWatcherThread) {
    return false;
  }
  SetEvent(m_hStopEvent);
  while (WaitForSingleObject(m_hWatcherThread, kStopSliceMilliseconds) == WAIT_TIMEOUT) {
  }
  CloseHandles();
  return true;
}

bool FolderWatcher::IsRunning() const {
  return m_hWatcherThread && WaitForSingleObject(m_hWatcherThread, 0) == WAIT_TIMEOUT;
}
