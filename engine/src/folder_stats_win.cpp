// @brief File stamps from one listing per folder (FindFirstFileExW), for Windows.
#include <windows.h>

#include "folder_stats.h"
#include "wide_path.h"

namespace dizode {
namespace {

// FILETIME counts 100 ns ticks from 1601; stamps count nanoseconds from 1970.
constexpr int64_t kTicksFrom1601To1970 = 116444736000000000;

FileStamp StampFrom(const WIN32_FIND_DATAW& entry) {
  const int64_t size = (static_cast<int64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
  const int64_t ticks = (static_cast<int64_t>(entry.ftLastWriteTime.dwHighDateTime) << 32) |
                        entry.ftLastWriteTime.dwLowDateTime;
  return FileStamp{size, (ticks - kTicksFrom1601To1970) * 100};
}

bool IsRegularFile(const WIN32_FIND_DATAW& entry) {
  return (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

// Calls `visit` with each entry that `pattern` (a folder's "*" or one file) finds.
template <typename Visit>
void List(const std::wstring& pattern, Visit visit) {
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                 nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    visit(entry);
  } while (FindNextFileW(find, &entry));
  FindClose(find);
}

}  // namespace

FolderStats::~FolderStats() = default;

std::optional<FileStamp> FolderStats::Stamp(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  const std::string_view folder = slash == std::string_view::npos ? "" : path.substr(0, slash + 1);
  const std::string name(slash == std::string_view::npos ? path : path.substr(slash + 1));
  if (name.empty() || name.find_first_of("*?") != std::string::npos) {
    return std::nullopt;
  }
  if (folder != m_folder || m_files.empty()) {
    m_folder.assign(folder);
    m_files.clear();
    List(WidePath(m_folder + "*"), [this](const WIN32_FIND_DATAW& entry) {
      if (IsRegularFile(entry)) m_files.emplace(Utf8Name(entry.cFileName), StampFrom(entry));
    });
  }
  if (auto found = m_files.find(name); found != m_files.end()) {
    return found->second;
  }
  // Names match without regard to case on Windows: a page named in another case than the
  // listing spells it is looked up on its own.
  return StampOf(std::string(path));
}

std::optional<FileStamp> StampOf(const std::string& path) {
  if (path.find_first_of("*?") != std::string::npos) return std::nullopt;
  std::optional<FileStamp> stamp;
  List(WidePath(path), [&stamp](const WIN32_FIND_DATAW& entry) {
    if (IsRegularFile(entry)) stamp = StampFrom(entry);
  });
  return stamp;
}

}  // namespace dizode
