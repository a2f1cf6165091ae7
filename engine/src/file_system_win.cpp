// @brief What the engine asks of the file system beyond reading and writing files, for Windows.
#include <windows.h>

#include "file_system.h"
#include "wide_path.h"

namespace dizode {

bool MayWrite(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  // The read-only attribute of a folder does not keep files from being made in it.
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
         (attributes & FILE_ATTRIBUTE_READONLY) == 0;
}

// The system's file system journals its folder entries itself: a completed rename survives
// a power cut without a flush of the folder, which Windows offers no way to ask for.
void SyncFolder(const std::string&) noexcept {}

}  // namespace dizode
