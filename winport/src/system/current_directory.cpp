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

// Resolves against the current folder without touching the file system: "."
// and ".." components are folded and repeated separators collapsed. The file
// part is the text after the last separator, or NULL when the path ends in one.
DWORD GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart) {
  using namespace winport::detail;
  if (lpFileName == nullptr || *lpFileName == '\0') {
    Fail(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string joined;
  if (lpFileName[0] != '/') {
    char cwd[4096];
    if (::getcwd(cwd, sizeof cwd) == nullptr) {
      FailFromErrno();
      return 0;
    }
    joined = std::string(cwd) + "/";
  }
  joined += lpFileName;
  std::string result;
  size_t start = 0;
  while (start <= joined.size()) {
    size_t end = joined.find('/', start);
    if (end == std::string::npos) end = joined.size();
    const std::string part = joined.substr(start, end - start);
    if (part == "..") {
      const size_t slash = result.rfind('/');
      result.erase(slash == std::string::npos ? 0 : slash);
    } else if (!part.empty() && part != ".") {
      result += "/" + part;
    }
    start = end + 1;
  }
  const bool trailing = joined.back() == '/';
  if (result.empty() || trailing) result += "/";
  const DWORD length = static_cast<DWORD>(result.size());
  if (lpBuffer == nullptr || nBufferLength < length + 1) return length + 1;
  std::memcpy(lpBuffer, result.c_str(), length + 1);
  if (lpFilePart != nullptr) {
    *lpFilePart = trailing ? nullptr : lpBuffer + result.rfind('/') + 1;
  }
  return length;
}
