// @brief Common control registration: every class winport knows is always
// available, so this only checks its argument.
#include "winport/api/errors.h"
#include "winport/api/ui.h"

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
  if (picce == nullptr || picce->dwSize != sizeof(INITCOMMONCONTROLSEX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}
