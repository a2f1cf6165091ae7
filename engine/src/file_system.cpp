// @brief What the engine asks of the file system beyond reading and writing files. With
// folder_stats.cpp, one of the engine's two files that talk to the operating system directly.
#include "file_system.h"

#include <fcntl.h>
#include <unistd.h>

namespace dizode {

bool MayWrite(const std::string& path) { return ::access(path.c_str(), W_OK) == 0; }

void SyncFolder(const std::string& folder) noexcept {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace dizode
