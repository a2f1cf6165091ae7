// @brief The rebuild mark: an empty file beside the collection. Failing to
// write or remove it changes nothing else: the toolkit still reports the
// corrupt collection the next time it is used.
#include "component/session/rebuild_mark.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "component/toolkit/path_separator.h"
#include "component/toolkit/system_paths.h"

namespace {

std::filesystem::path MarkPath(const std::string& sCollectionDir) {
  return FileSystemPath(sCollectionDir + kPathSeparatorText + "rebuild");
}

}  // namespace

void MarkForRebuild(const std::string& sCollectionDir) {
  std::ofstream mark(MarkPath(sCollectionDir), std::ios::binary | std::ios::trunc);
}

bool IsMarkedForRebuild(const std::string& sCollectionDir) {
  std::error_code error;
  return std::filesystem::exists(MarkPath(sCollectionDir), error);
}

void ClearRebuildMark(const std::string& sCollectionDir) {
  std::error_code ignored;
  std::filesystem::remove(MarkPath(sCollectionDir), ignored);
}
