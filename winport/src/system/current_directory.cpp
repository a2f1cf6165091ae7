// @brief The process's current folder.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "winport/api/errors.h"
#include "winport/api/files.h"
#include "winport/src/system/errno_map.h"

// A missing folder, or one whose parent is missing, fails with
// ERROR_PATH_NOT_FOUND ("the path cannot be found" is what callers report for
// a folder that does not exist); a file fails with ERROR_DIRECTORY.
BOOL SetCurrentDirectoryA(LPCSTR lpPathName) {
  using namespace winport::detail;
  if (lpPathName == nullptr || *lpPathName == '\0') return Fail(ERROR_INVALID_PARAMETER);
  if (::chdir(lpPathName) != 0) {
    if (errno == ENOENT) return Fail(ERROR_PATH_NOT_FOUND);
    return FailFromErrno(lpPathName);
  }
  return TRUE;
}

// Returns the length without the terminator, or, when the buffer is too small
// (or absent), the size needed including the terminator.
DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer) {
  std::string path(256, '\0');
  while (::getcwd(path.data(), path.size()) == nullptr) {
    if (errno != ERANGE) {
      winport::detail::FailFromErrno();
      return 0;
    }
    path.resize(path.size() * 2);
  }
  const DWORD length = static_cast<DWORD>(std::strlen(path.c_str()));
  if (lpBuffer == nullptr || nBufferLength < length + 1) return length + 1;
  std::memcpy(lpBuffer, path.c_str(), length + 1);
  return length;
}
