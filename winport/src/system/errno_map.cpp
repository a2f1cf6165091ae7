// @brief The one mapping between errno values and Windows error codes.
#include "winport/src/system/errno_map.h"

#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "winport/api/errors.h"

namespace winport::detail {
namespace {

struct ErrorPair {
  int error_number;
  DWORD win32;
};

// Read both ways: from errno, the first pair with that errno wins; from a
// Windows code, the first pair with that code names the errno whose text
// describes it. Later pairs for an errno exist only to give a Windows code a
// text (ERROR_NOT_OWNER reads "Operation not permitted").
constexpr ErrorPair kErrorPairs[] = {
    {0, ERROR_SUCCESS},
    {ENOENT, ERROR_FILE_NOT_FOUND},
    {ENOENT, ERROR_PATH_NOT_FOUND},
    {ENOENT, ERROR_MOD_NOT_FOUND},
    {ENOENT, ERROR_PROC_NOT_FOUND},
    {EMFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENFILE, ERROR_TOO_MANY_OPEN_FILES},
    {EACCES, ERROR_ACCESS_DENIED},
    {EPERM, ERROR_ACCESS_DENIED},
    {EPERM, ERROR_NOT_OWNER},
    {EISDIR, ERROR_ACCESS_DENIED},
    {EBADF, ERROR_INVALID_HANDLE},
    {EBADF, ERROR_INVALID_WINDOW_HANDLE},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
    {ENOMEM, ERROR_OUTOFMEMORY},
    {EXDEV, ERROR_NOT_SAME_DEVICE},
    {ENODATA, ERROR_NO_MORE_FILES},
    {EROFS, ERROR_WRITE_PROTECT},
    {ETXTBSY, ERROR_SHARING_VIOLATION},
    {EDEADLK, ERROR_LOCK_VIOLATION},
    {ENOTSUP, ERROR_NOT_SUPPORTED},
    {EOPNOTSUPP, ERROR_NOT_SUPPORTED},
    {EEXIST, ERROR_ALREADY_EXISTS},
    {EEXIST, ERROR_FILE_EXISTS},
    {EINVAL, ERROR_INVALID_PARAMETER},
    {EINVAL, ERROR_BAD_PATHNAME},
    {EPIPE, ERROR_BROKEN_PIPE},
    {ENOSPC, ERROR_DISK_FULL},
    {EDQUOT, ERROR_DISK_FULL},
    {EFBIG, ERROR_DISK_FULL},
    {ENOSYS, ERROR_CALL_NOT_IMPLEMENTED},
    {ERANGE, ERROR_INSUFFICIENT_BUFFER},
    {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},
    {EBUSY, ERROR_BUSY},
    {ENOEXEC, ERROR_BAD_EXE_FORMAT},
    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
    {ENOTDIR, ERROR_DIRECTORY},
    {ETIMEDOUT, ERROR_TIMEOUT},
    {ETIMEDOUT, WAIT_TIMEOUT},
    {ECANCELED, ERROR_OPERATION_ABORTED},
    {EINTR, ERROR_OPERATION_ABORTED},
    {EIO, ERROR_IO_DEVICE},
    {EILSEQ, ERROR_NO_UNICODE_TRANSLATION},
    {ELOOP, ERROR_CANT_RESOLVE_FILENAME},
    {EAGAIN, ERROR_NO_SYSTEM_RESOURCES},
};

DWORD PlainMapping(int error_number) {
  for (const ErrorPair& pair : kErrorPairs) {
    if (pair.error_number == error_number) return pair.win32;
  }
  return ERROR_GEN_FAILURE;
}

// The folder that holds the last component of `path` ("." for a bare name).
std::string ParentOf(const char* path) {
  std::string text(path);
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  const size_t slash = text.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return text.substr(0, slash);
}

bool IsFolder(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

int ErrnoFromWin32Error(DWORD error) {
  for (const ErrorPair& pair : kErrorPairs) {
    if (pair.win32 == error) return pair.error_number;
  }
  return -1;
}

BOOL FailFromErrno(const char* path) {
  const int saved = errno;
  SetLastError(WinportErrorFromErrno(saved, path));
  errno = saved;
  return FALSE;
}

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

}  // namespace winport::detail

// Windows reports a missing last component as ERROR_FILE_NOT_FOUND and a
// missing (or non-folder) parent as ERROR_PATH_NOT_FOUND, where POSIX says
// ENOENT or ENOTDIR for both; the parent is looked at to tell them apart.
// ENOTDIR on a path whose parent is a folder means the path itself is a file
// where a folder was wanted: ERROR_DIRECTORY.
DWORD WinportErrorFromErrno(int error_number, const char* path) {
  if (path != nullptr && (error_number == ENOENT || error_number == ENOTDIR)) {
    const bool parent_is_folder = winport::detail::IsFolder(winport::detail::ParentOf(path));
    if (!parent_is_folder) return ERROR_PATH_NOT_FOUND;
    return error_number == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_DIRECTORY;
  }
  return winport::detail::PlainMapping(error_number);
}
