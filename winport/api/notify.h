// @brief Change notifications on a folder tree, waitable with the other handles.
#pragma once

#include "winport/api/base.h"

#define FILE_NOTIFY_CHANGE_FILE_NAME 0x00000001
#define FILE_NOTIFY_CHANGE_DIR_NAME 0x00000002
#define FILE_NOTIFY_CHANGE_ATTRIBUTES 0x00000004
#define FILE_NOTIFY_CHANGE_SIZE 0x00000008
#define FILE_NOTIFY_CHANGE_LAST_WRITE 0x00000010
#define FILE_NOTIFY_CHANGE_LAST_ACCESS 0x00000020
#define FILE_NOTIFY_CHANGE_CREATION 0x00000040
#define FILE_NOTIFY_CHANGE_SECURITY 0x00000100

HANDLE FindFirstChangeNotificationA(LPCSTR lpPathName, BOOL bWatchSubtree, DWORD dwNotifyFilter);
BOOL FindNextChangeNotification(HANDLE hChangeHandle);
BOOL FindCloseChangeNotification(HANDLE hChangeHandle);

// Not a system function: FindFirstChangeNotificationA whose arming gives up
// when hCancel (a waitable handle, or null for none) is signalled before it
// has finished, failing with ERROR_OPERATION_ABORTED. Watching a subtree here
// means walking it; the system's own notification needs no walk.
HANDLE WinportFindFirstChangeNotificationCancellable(LPCSTR lpPathName, BOOL bWatchSubtree,
                                                     DWORD dwNotifyFilter, HANDLE hCancel);
