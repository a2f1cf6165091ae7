#include "folder_stats.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dizode {

FolderStats::~FolderStats() {
  if (m_handle >= 0) {
    close(m_handle);
  }
}

std::optional<FileStamp> FolderStats::Stamp(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  const std::string_view folder = slash == std::string_view::npos ? "." : path.substr(0, slash + 1);
  const std::string name(slash == std::string_view::npos ? path : path.substr(slash + 1));
  if (name.empty()) {
    return std::nullopt;
  }
  if (folder != m_folder) {
    if (m_handle >= 0) {
      close(m_handle);
    }
    m_folder.assign(folder);
    m_handle = open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  }
  if (m_handle < 0) {
    return std::nullopt;
  }
  struct stat status {};
  if (fstatat(m_handle, name.c_str(), &status, 0) != 0 || !S_ISREG(status.st_mode)) {
    return std::nullopt;
  }
  return FileStamp{static_cast<int64_t>(status.st_size),
                   static_cast<int64_t>(status.st_mtim.tv_sec) * 1000000000 +
                       static_cast<int64_t>(status.st_mtim.tv_nsec)};
}

}  // namespace dizode
