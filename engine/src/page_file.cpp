// @brief Bounded page reads and file stamps on POSIX.
#include "page_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace dizode {
namespace {

FileStamp StampFrom(const struct stat& st) {
  return {static_cast<int64_t>(st.st_size),
          static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

}  // namespace

std::optional<FileStamp> StampOf(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return StampFrom(st);
}

PageFile ReadPageFile(const std::string& path, size_t maxBytes) {
  PageFile page;
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    page.error = std::strerror(errno);
    return page;
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    page.error = fstat(fd, &st) != 0 ? std::strerror(errno) : "not a regular file";
    close(fd);
    return page;
  }
  size_t want = static_cast<size_t>(st.st_size) < maxBytes ? st.st_size : maxBytes;
  page.bytes.resize(want);
  size_t got = 0;
  while (got < want) {
    ssize_t n = read(fd, page.bytes.data() + got, want - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      page.error = std::strerror(errno);
      break;
    }
    if (n == 0) break;  // the file shrank while we read it
    got += static_cast<size_t>(n);
  }
  close(fd);
  page.bytes.resize(got);
  if (page.error.empty()) page.stamp = StampFrom(st);
  return page;
}

uint64_t ContentHash(std::string_view bytes) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return hash;
}

std::string_view FileNameOf(std::string_view path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace dizode
