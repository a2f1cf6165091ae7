// @brief The reverse of WinportErrorFromErrno, for looking up a system message text.
#pragma once

#include "winport/api/base.h"

namespace winport::detail {

// The errno whose system text describes `error` (0 for ERROR_SUCCESS), or -1
// when the Windows code has no POSIX counterpart.
int ErrnoFromWin32Error(DWORD error);

// Sets the last error from errno (refined by `path`) and returns FALSE, the
// common tail of every failed file-system call.
BOOL FailFromErrno(const char* path = nullptr);

// Sets the last error to `error` and returns FALSE.
BOOL Fail(DWORD error);

}  // namespace winport::detail
