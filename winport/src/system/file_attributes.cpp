// @brief Windows file attributes and times from POSIX file status.
#include "winport/src/system/file_attributes.h"

#include "winport/api/files.h"

namespace winport::detail {

DWORD AttributesFromStat(const struct stat& info) {
  if (S_ISDIR(info.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  if ((info.st_mode & S_IWUSR) == 0) return FILE_ATTRIBUTE_READONLY;
  return FILE_ATTRIBUTE_NORMAL;
}

FILETIME FileTimeFromTimespec(const struct timespec& time) {
  constexpr int64_t kSecondsFrom1601To1970 = 11644473600;
  const int64_t ticks =
      (static_cast<int64_t>(time.tv_sec) + kSecondsFrom1601To1970) * 10000000 + time.tv_nsec / 100;
  const uint64_t value = ticks < 0 ? 0 : static_cast<uint64_t>(ticks);
  return FILETIME{static_cast<DWORD>(value & 0xFFFFFFFFu), static_cast<DWORD>(value >> 32)};
}

}  // namespace winport::detail
