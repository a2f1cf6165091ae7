// @brief Creating and removing folders and files, and reading attributes.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "winport/api/errors.h"
#include "winport/api/files.h"
#include "winport/src/system/errno_map.h"
#include "winport/src/system/file_attributes.h"

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

// A non-empty folder fails with ERROR_DIR_NOT_EMPTY, a file with ERROR_DIRECTORY.
BOOL RemoveDirectoryA(LPCSTR lpPathName) {
  using namespace winport::detail;
  if (lpPathName == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  if (::rmdir(lpPathName) != 0) {
    if (errno == EEXIST) errno = ENOTEMPTY;  // POSIX allows either for a non-empty folder
    return FailFromErrno(lpPathName);
  }
  return TRUE;
}

// A folder fails with ERROR_ACCESS_DENIED, as on Windows. Unlike Windows, a
// file may be deleted while it is open, and a read-only file may be deleted
// when its folder is writable.
BOOL DeleteFileA(LPCSTR lpFileName) {
  using namespace winport::detail;
  if (lpFileName == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  struct stat info;
  if (::lstat(lpFileName, &info) == 0 && S_ISDIR(info.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (::unlink(lpFileName) != 0) return FailFromErrno(lpFileName);
  return TRUE;
}

DWORD GetFileAttributesA(LPCSTR lpFileName) {
  using namespace winport::detail;
  struct stat info;
  if (lpFileName == nullptr) {
    Fail(ERROR_INVALID_PARAMETER);
    return INVALID_FILE_ATTRIBUTES;
  }
  if (::stat(lpFileName, &info) != 0) {
    FailFromErrno(lpFileName);
    return INVALID_FILE_ATTRIBUTES;
  }
  return AttributesFromStat(info);
}
