// @brief Creating folders.
#include <sys/stat.h>

#include <cerrno>

#include "winport/api/errors.h"
#include "winport/api/files.h"
#include "winport/src/system/errno_map.h"

// Creates one level only: a missing parent fails with ERROR_PATH_NOT_FOUND
// and an existing entry (folder or file) with ERROR_ALREADY_EXISTS. Security
// attributes are ignored; the folder gets the default mode under the umask.
BOOL CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes) {
  using namespace winport::detail;
  if (lpPathName == nullptr || *lpPathName == '\0') return Fail(ERROR_PATH_NOT_FOUND);
  if (::mkdir(lpPathName, 0777) != 0) {
    // ENOENT from mkdir always means a missing parent folder.
    if (errno == ENOENT) return Fail(ERROR_PATH_NOT_FOUND);
    return FailFromErrno(lpPathName);
  }
  return TRUE;
}
