// @brief Change notifications: FindFirstChangeNotificationA and its companions.
#include <cerrno>
#include <memory>
#include <mutex>
#include <string>

#include "winport/api/errors.h"
#include "winport/api/notify.h"
#include "winport/api/sync.h"
#include "winport/src/system/errno_map.h"
#include "winport/src/system/waitable.h"
#include "winport/src/system/watch_tree.h"

#ifdef WINPORT_HAVE_INOTIFY
#include <sys/inotify.h>
#include <unistd.h>

namespace winport::detail {
namespace {

constexpr DWORD kKnownFilters = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                                FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_LAST_ACCESS |
                                FILE_NOTIFY_CHANGE_CREATION | FILE_NOTIFY_CHANGE_SECURITY;

// Which filter bits an inotify event concerns.
DWORD FiltersOf(uint32_t mask) {
  const bool folder = (mask & IN_ISDIR) != 0;
  DWORD filters = 0;
  if (mask & (IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO)) {
    filters |= folder ? FILE_NOTIFY_CHANGE_DIR_NAME : FILE_NOTIFY_CHANGE_FILE_NAME;
  }
  if (mask & IN_CREATE) filters |= FILE_NOTIFY_CHANGE_CREATION;
  if (mask & IN_MODIFY) filters |= FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;
  if (mask & IN_ATTRIB) filters |= FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SECURITY;
  if (mask & IN_ACCESS) filters |= FILE_NOTIFY_CHANGE_LAST_ACCESS;
  return filters;
}

// Signalled from the first change that matches the filter until
// FindNextChangeNotification; a matching change seen while already signalled
// is kept, so that FindNextChangeNotification leaves the handle signalled.
class ChangeNotification : public Waitable {
 public:
  ChangeNotification(std::string root, bool subtree, DWORD filter)
      : Waitable(HandleKind::kChangeNotification),
        m_filter(filter),
        m_tree(std::move(root), subtree,
               (filter & FILE_NOTIFY_CHANGE_LAST_ACCESS) ? IN_ACCESS : 0) {}

  int Arm(const WatchTree::Cancelled& cancelled) { return m_tree.Arm(cancelled); }

  Acquire TryAcquire(DWORD) override {
    return m_signalled ? Acquire::kAcquired : Acquire::kNotSignalled;
  }

  int PollDescriptor() const override { return m_tree.Descriptor(); }

  void Refresh() override {
    std::lock_guard<std::mutex> guard(m_read_lock);
    if (!ReadQueue()) return;
    std::lock_guard<std::mutex> wait_guard(WaitLock());
    if (m_signalled) {
      m_pending = true;
    } else {
      m_signalled = true;
      WakeWaiters();
    }
  }

  void Rearm() {
    Refresh();
    std::lock_guard<std::mutex> wait_guard(WaitLock());
    m_signalled = m_pending;
    m_pending = false;
  }

 private:
  // Reads every queued event; true when one of them matches the filter.
  bool ReadQueue() {
    alignas(inotify_event) char buffer[16384];
    bool matched = false;
    for (;;) {
      const ssize_t length = ::read(m_tree.Descriptor(), buffer, sizeof buffer);
      if (length <= 0) break;
      for (ssize_t offset = 0; offset < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
        matched |= Handle(*event);
        offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return matched;
  }

  bool Handle(const inotify_event& event) {
    if (event.mask & IN_Q_OVERFLOW) {
      // Events were lost, folders created meanwhile among them: watch again.
      if (m_tree.Subtree()) m_tree.AddFolder(m_tree.Root());
      return true;
    }
    if (event.mask & IN_IGNORED) {
      m_tree.Forget(event.wd);
      return false;
    }
    if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) return m_tree.IsRoot(event.wd);
    const std::string* folder = m_tree.PathOf(event.wd);
    if (folder == nullptr || event.len == 0) return false;  // a folder's own status
    bool matched = (FiltersOf(event.mask) & m_filter) != 0;
    if (m_tree.Subtree() && (event.mask & IN_ISDIR)) {
      const std::string path = *folder + "/" + event.name;
      if (event.mask & IN_MOVED_FROM) m_tree.RemoveFolder(path);
      if (event.mask & (IN_CREATE | IN_MOVED_TO)) {
        const FoundEntries found = m_tree.AddFolder(path);
        if (found.files) matched |= (m_filter & FILE_NOTIFY_CHANGE_FILE_NAME) != 0;
        if (found.folders) matched |= (m_filter & FILE_NOTIFY_CHANGE_DIR_NAME) != 0;
      }
    }
    return matched;
  }

  const DWORD m_filter;
  std::mutex m_read_lock;  // serialises readers of the queue and the watch tree
  WatchTree m_tree;
  bool m_signalled = false;  // with WaitLock() held
  bool m_pending = false;    // with WaitLock() held
};

}  // namespace
}  // namespace winport::detail
#endif

// Change notifications on POSIX rest on inotify, which differs from Windows:
// - Coalescing: the handle stays signalled from the first matching change
//   until FindNextChangeNotification; changes read together in one batch
//   count as one, and a change seen while signalled keeps the handle
//   signalled after FindNextChangeNotification. A wake-up therefore means
//   "something changed, look again", never "exactly one change".
// - Overflow: when the kernel's event queue overflows, changes were lost; the
//   handle is signalled whatever the filter, so the caller rescans, and the
//   folder tree is watched again to cover folders created meanwhile.
// - Recursion: inotify watches one folder at a time, so with bWatchSubtree
//   every folder below the root gets its own watch, and folders created or
//   moved in after arming are watched as their events arrive. Entries made in
//   such a folder before its watch existed are found by scanning it and
//   signal as file or folder name changes. A folder moved out of the tree
//   loses its watches; symbolic links to folders are not followed.
// - Renames: a rename within the tree is a name change (FILE_NAME or
//   DIR_NAME), like a delete plus a create.
// - Filters: SIZE and LAST_WRITE both follow writes (inotify cannot tell a
//   size change from a rewrite); ATTRIBUTES and SECURITY both follow status
//   changes (mode, owner, timestamps set by utimes); CREATION follows
//   creations. So under FILE_NAME|DIR_NAME|SIZE|LAST_WRITE a chmod alone does
//   not signal, but neither does setting a file's times without writing it.
//   Changes to the root folder's own status do not signal; its deletion or
//   move does, whatever the filter.
// - Watch limit: when the system's limit of watches (or of memory for them)
//   is reached, the notification still arms and watches what it could; only
//   a root that cannot be watched at all fails (ERROR_NO_SYSTEM_RESOURCES).
// A folder that does not exist fails with ERROR_FILE_NOT_FOUND (or
// ERROR_PATH_NOT_FOUND when its parent is missing), a file with
// ERROR_DIRECTORY, and a filter of 0 or unknown bits with
// ERROR_INVALID_PARAMETER. Where inotify is missing, every call fails with
// ERROR_NOT_SUPPORTED.
HANDLE FindFirstChangeNotificationA(LPCSTR lpPathName, BOOL bWatchSubtree, DWORD dwNotifyFilter) {
  return WinportFindFirstChangeNotificationCancellable(lpPathName, bWatchSubtree, dwNotifyFilter,
                                                       nullptr);
}

// Arming a subtree walks it, one watch per folder: hCancel, when given, is
// looked at before each folder, so a large tree's arming ends soon after it
// is signalled.
HANDLE WinportFindFirstChangeNotificationCancellable(LPCSTR lpPathName, BOOL bWatchSubtree,
                                                     DWORD dwNotifyFilter, HANDLE hCancel) {
#ifdef WINPORT_HAVE_INOTIFY
  using namespace winport::detail;
  if (lpPathName == nullptr || *lpPathName == '\0' || dwNotifyFilter == 0 ||
      (dwNotifyFilter & ~kKnownFilters) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  WatchTree::Cancelled cancelled;
  if (hCancel != nullptr) {
    cancelled = [hCancel] { return WaitForSingleObject(hCancel, 0) == WAIT_OBJECT_0; };
  }
  auto notification =
      std::make_shared<ChangeNotification>(lpPathName, bWatchSubtree != FALSE, dwNotifyFilter);
  if (const int error = notification->Arm(cancelled); error != 0) {
    SetLastError(error == ENOSPC      ? ERROR_NO_SYSTEM_RESOURCES
                 : error == ECANCELED ? ERROR_OPERATION_ABORTED
                                      : WinportErrorFromErrno(error, lpPathName));
    return INVALID_HANDLE_VALUE;
  }
  return RegisterHandle(std::move(notification));
#else
  (void)hCancel;
  SetLastError(ERROR_NOT_SUPPORTED);
  return INVALID_HANDLE_VALUE;
#endif
}

// Resets the handle, unless a matching change arrived after it was signalled
// (see FindFirstChangeNotificationA), in which case it stays signalled.
BOOL FindNextChangeNotification(HANDLE hChangeHandle) {
#ifdef WINPORT_HAVE_INOTIFY
  using namespace winport::detail;
  auto notification =
      LookupHandleAs<ChangeNotification>(hChangeHandle, HandleKind::kChangeNotification);
  if (notification == nullptr) return FALSE;
  notification->Rearm();
  return TRUE;
#else
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
#endif
}

BOOL FindCloseChangeNotification(HANDLE hChangeHandle) {
  using winport::detail::HandleKind;
  return winport::detail::UnregisterHandle(hChangeHandle, {HandleKind::kChangeNotification});
}
