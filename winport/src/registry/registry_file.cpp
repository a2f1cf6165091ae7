// @brief Reading, locking and replacing the registry file.
#include "winport/src/registry/registry_file.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "winport/src/registry/registry_text.h"

namespace winport::registry {
namespace {

constexpr char kRelativePath[] = "/zovivevivadiro/registry.reg";

// Owns a file descriptor.
class Fd {
 public:
  explicit Fd(int fd) : m_fd(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (m_fd >= 0) {
      ::close(m_fd);
    }
  }
  int Get() const { return m_fd; }
  // Closes now and reports whether close succeeded (a failed close may have
  // lost written data).
  bool Close() {
    const int fd = m_fd;
    m_fd = -1;
    return ::close(fd) == 0;
  }

 private:
  int m_fd;
};

LONG LastErrno(const std::string& path) {
  return static_cast<LONG>(WinportErrorFromErrno(errno, path.c_str()));
}

// Creates every missing folder of path's parent.
LONG MakeParentFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    const std::string folder = path.substr(0, slash);
    if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
      return LastErrno(folder);
    }
  }
  return ERROR_SUCCESS;
}

}  // namespace

LONG ReadWholeFile(const std::string& path, std::string* text) {
  text->clear();
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) {
    return LastErrno(path);
  }
  char buffer[16384];
  while (true) {
    const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n == 0) {
      return ERROR_SUCCESS;
    }
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return LastErrno(path);
    }
    text->append(buffer, static_cast<size_t>(n));
  }
}

namespace {

LONG Load(const std::string& path, Key* top) {
  std::string text;
  const LONG error = ReadWholeFile(path, &text);
  // No file (or not even its folder) yet is an empty registry.
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
    return ERROR_SUCCESS;
  }
  if (error != ERROR_SUCCESS) {
    return error;
  }
  return ReadRegText(text, top) ? ERROR_SUCCESS : ERROR_BADDB;
}

LONG WriteAll(int fd, const std::string& text, const std::string& path) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return LastErrno(path);
    }
    done += static_cast<size_t>(n);
  }
  return ERROR_SUCCESS;
}

LONG Replace(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".new";
  Fd fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (fd.Get() < 0) {
    return LastErrno(temporary);
  }
  LONG error = WriteAll(fd.Get(), text, temporary);
  if (error == ERROR_SUCCESS && ::fsync(fd.Get()) != 0) {
    error = LastErrno(temporary);
  }
  if (!fd.Close() && error == ERROR_SUCCESS) {
    error = LastErrno(temporary);
  }
  if (error == ERROR_SUCCESS && ::rename(temporary.c_str(), path.c_str()) != 0) {
    error = LastErrno(path);
  }
  if (error != ERROR_SUCCESS) {
    ::unlink(temporary.c_str());
  }
  return error;
}

}  // namespace

std::string RegistryFilePath() {
  if (const char* file = std::getenv("ZVV_REGISTRY_FILE"); file && *file) {
    return file;
  }
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') {
    return std::string(data) + kRelativePath;
  }
  std::string home;
  if (const char* variable = std::getenv("HOME"); variable && *variable) {
    home = variable;
  } else if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir) {
    home = user->pw_dir;
  }
  return home + "/.local/share" + kRelativePath;
}

LONG ReadRegistry(const std::function<LONG(const Key& top)>& read) {
  Key top;
  const LONG error = Load(RegistryFilePath(), &top);
  if (error != ERROR_SUCCESS) {
    return error;
  }
  return read(top);
}

LONG ChangeRegistry(const std::function<LONG(Key& top, bool* modified)>& change) {
  const std::string path = RegistryFilePath();
  LONG error = MakeParentFolders(path);
  if (error != ERROR_SUCCESS) {
    return error;
  }
  const std::string lockPath = path + ".lock";
  Fd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  if (lock.Get() < 0) {
    return LastErrno(lockPath);
  }
  while (::flock(lock.Get(), LOCK_EX) != 0) {
    if (errno != EINTR) {
      return LastErrno(lockPath);
    }
  }
  // Read only once the lock is held: the file may have changed while waiting.
  Key top;
  error = Load(path, &top);
  if (error != ERROR_SUCCESS) {
    return error;
  }
  bool modified = false;
  error = change(top, &modified);
  if (error != ERROR_SUCCESS || !modified) {
    return error;
  }
  if (Depth(top) > kMaxKeyDepth) {
    return ERROR_BAD_PATHNAME;
  }
  return Replace(path, WriteRegText(top));
  // The lock goes with the descriptor.
}

}  // namespace winport::registry

DWORD WinportGetRegistryFileA(LPSTR lpBuffer, DWORD nSize) {
  const std::string path = winport::registry::RegistryFilePath();
  if (!lpBuffer || nSize <= path.size()) {
    return static_cast<DWORD>(path.size() + 1);
  }
  std::memcpy(lpBuffer, path.c_str(), path.size() + 1);
  return static_cast<DWORD>(path.size());
}
