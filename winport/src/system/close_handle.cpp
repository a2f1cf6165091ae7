// @brief CloseHandle for thread, mutex, event and change notification handles.
#include "winport/api/sync.h"
#include "winport/src/system/handle_registry.h"

// A folder search handle must be closed with FindClose, as on Windows, where
// CloseHandle does not accept it; here it fails with ERROR_INVALID_HANDLE.
// Closing a mutex that a thread still owns, or a thread that still runs,
// only gives up the handle: the thread keeps running, and its ownership of
// the mutex ends with it.
BOOL CloseHandle(HANDLE hObject) {
  using winport::detail::HandleKind;
  return winport::detail::UnregisterHandle(
      hObject, {HandleKind::kThread, HandleKind::kMutex, HandleKind::kEvent,
                HandleKind::kChangeNotification});
}
