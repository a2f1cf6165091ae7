// @brief Folder searches: FindFirstFileA, FindNextFileA and FindClose.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "winport/api/errors.h"
#include "winport/api/files.h"
#include "winport/src/system/errno_map.h"
#include "winport/src/system/file_attributes.h"
#include "winport/src/system/handle_registry.h"
#include "winport/src/system/wildcard.h"

namespace winport::detail {
namespace {

// The names a search found, read when it started; each entry's details are
// read when it is handed out, so an entry deleted meanwhile is skipped.
class FindSearch : public HandleObject {
 public:
  FindSearch(std::string folder, std::vector<std::string> names)
      : HandleObject(HandleKind::kFindSearch),
        m_folder(std::move(folder)),
        m_names(std::move(names)) {}

  // Fills `data` with the next entry that still exists; false at the end.
  bool Next(WIN32_FIND_DATAA& data) {
    while (m_next < m_names.size()) {
      const std::string& name = m_names[m_next++];
      if (Fill(name, data)) return true;
    }
    return false;
  }

 private:
  bool Fill(const std::string& name, WIN32_FIND_DATAA& data) const {
    const std::string path = m_folder == "/" ? "/" + name : m_folder + "/" + name;
    struct stat info;
    // A dangling symbolic link is still listed, with its own details.
    if (::stat(path.c_str(), &info) != 0 && ::lstat(path.c_str(), &info) != 0) return false;
    if (name.size() >= MAX_PATH) return false;
    data = WIN32_FIND_DATAA{};
    data.dwFileAttributes = AttributesFromStat(info);
    data.ftCreationTime = FileTimeFromTimespec(info.st_ctim);
    data.ftLastAccessTime = FileTimeFromTimespec(info.st_atim);
    data.ftLastWriteTime = FileTimeFromTimespec(info.st_mtim);
    if (!S_ISDIR(info.st_mode)) {
      const uint64_t size = static_cast<uint64_t>(info.st_size);
      data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
      data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
    }
    std::memcpy(data.cFileName, name.c_str(), name.size() + 1);
    return true;
  }

  const std::string m_folder;
  const std::vector<std::string> m_names;
  size_t m_next = 0;
};

bool NameLess(const std::string& a, const std::string& b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const int x = std::toupper(static_cast<unsigned char>(a[i]));
    const int y = std::toupper(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y;
  }
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

// Lists `folder`'s entries that match `pattern`: "." and ".." first (except in
// the root folder, which has neither on Windows), then the rest by name.
// Returns false with the last error set when the folder cannot be read.
bool ListMatches(const std::string& folder, const std::string& pattern,
                 std::vector<std::string>& names) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) {
    if (errno == ENOENT || errno == ENOTDIR) return Fail(ERROR_PATH_NOT_FOUND);
    return FailFromErrno(folder.c_str());
  }
  std::vector<std::string> others;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (MatchesWildcard(pattern, name)) others.push_back(name);
  }
  ::closedir(dir);
  if (folder != "/") {
    for (const char* dots : {".", ".."}) {
      if (MatchesWildcard(pattern, dots)) names.push_back(dots);
    }
  }
  std::sort(others.begin(), others.end(), NameLess);
  names.insert(names.end(), others.begin(), others.end());
  if (names.empty()) return Fail(ERROR_FILE_NOT_FOUND);
  return true;
}

}  // namespace
}  // namespace winport::detail

// Folder searches on POSIX differ from Windows in these ways:
// - the names are read when the search starts and sorted by name compared
//   without regard to ASCII case ("." and ".." first), rather than in the
//   file system's own order; entries created during the search are not seen;
// - patterns match without regard to ASCII case, but a plain path (no "*" or
//   "?") is looked up as the case-sensitive file system has it;
// - there are no short (8.3) names: cAlternateFileName is empty, and "*.htm"
//   does not match "page.html";
// - ftCreationTime is the time of the last status change (POSIX keeps no
//   creation time everywhere).
// A path that ends in "/" names no entry and fails with ERROR_FILE_NOT_FOUND.
HANDLE FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
  using namespace winport::detail;
  if (lpFileName == nullptr || lpFindFileData == nullptr || *lpFileName == '\0') {
    Fail(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  const std::string path = lpFileName;
  const size_t slash = path.rfind('/');
  const std::string folder =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
  const std::string pattern = slash == std::string::npos ? path : path.substr(slash + 1);
  if (pattern.empty()) {
    Fail(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::vector<std::string> names;
  if (HasWildcard(pattern)) {
    if (!ListMatches(folder, pattern, names)) return INVALID_HANDLE_VALUE;
  } else {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 && ::lstat(path.c_str(), &info) != 0) {
      FailFromErrno(path.c_str());
      return INVALID_HANDLE_VALUE;
    }
    names.push_back(pattern);
  }
  auto search = std::make_shared<FindSearch>(folder, std::move(names));
  if (!search->Next(*lpFindFileData)) {
    Fail(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  return RegisterHandle(std::move(search));
}

BOOL FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData) {
  using namespace winport::detail;
  auto search = LookupHandleAs<FindSearch>(hFindFile, HandleKind::kFindSearch);
  if (search == nullptr) return FALSE;
  if (lpFindFileData == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  if (!search->Next(*lpFindFileData)) return Fail(ERROR_NO_MORE_FILES);
  return TRUE;
}

BOOL FindClose(HANDLE hFindFile) {
  using winport::detail::HandleKind;
  return winport::detail::UnregisterHandle(hFindFile, {HandleKind::kFindSearch});
}
