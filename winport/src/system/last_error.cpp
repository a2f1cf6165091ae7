// @brief The calling thread's last error code.
#include "winport/api/errors.h"

namespace {
thread_local DWORD t_last_error = ERROR_SUCCESS;
}  // namespace

DWORD GetLastError() { return t_last_error; }

void SetLastError(DWORD dwErrCode) { t_last_error = dwErrCode; }
