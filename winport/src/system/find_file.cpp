// @brief Folder searches: FindFirstFileA, WinportFindFirstFileNamesA, FindNextFileA and
// FindClose.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "winport/api/errors.h"
#include "winport/api/files.h"
#include "winport/src/system/errno_map.h"
#include "winport/src/system/file_attributes.h"
#include "winport/src/system/handle_registry.h"
#include "winport/src/system/wildcard.h"

namespace winport::detail {
namespace {

// An entry a search found, with its type as the folder listing gave it.
struct Found {
  std::string name;
  unsigned char type;  // DT_* of the listing
};

// Whether an entry's details are read when it is handed out, or only what the
// listing told.
enum class Details { kStatus, kListing };

// The entries a search found, read when it started; with kStatus each entry's
// details are read when it is handed out, so an entry deleted meanwhile is
// skipped.
class FindSearch : public HandleObject {
 public:
  FindSearch(std::string folder, std::vector<Found> entries, Details details)
      : HandleObject(HandleKind::kFindSearch),
        m_folder(std::move(folder)),
        m_entries(std::move(entries)),
        m_details(details) {}

  // Fills `data` with the next entry that still exists; false at the end.
  bool Next(WIN32_FIND_DATAA& data) {
    while (m_next < m_entries.size()) {
      const Found& entry = m_entries[m_next++];
      if (entry.name.size() >= MAX_PATH) continue;
      if (ListingTells(entry) ? FillFromListing(entry, data) : FillFromStatus(entry.name, data)) {
        return true;
      }
    }
    return false;
  }

 private:
  // A link must be followed, and some file systems give no types.
  bool ListingTells(const Found& entry) const {
    return m_details == Details::kListing && entry.type != DT_LNK && entry.type != DT_UNKNOWN;
  }

  static bool FillFromListing(const Found& entry, WIN32_FIND_DATAA& data) {
    data = WIN32_FIND_DATAA{};
    data.dwFileAttributes = entry.type == DT_DIR ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
    std::memcpy(data.cFileName, entry.name.c_str(), entry.name.size() + 1);
    return true;
  }

  bool FillFromStatus(const std::string& name, WIN32_FIND_DATAA& data) const {
    const std::string path = m_folder == "/" ? "/" + name : m_folder + "/" + name;
    struct stat info;
    // A dangling symbolic link is still listed, with its own details.
    if (::stat(path.c_str(), &info) != 0 && ::lstat(path.c_str(), &info) != 0) return false;
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
  const std::vector<Found> m_entries;
  const Details m_details;
  size_t m_next = 0;
};

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool NameLess(const Found& a, const Found& b) {
  const size_t common = std::min(a.name.size(), b.name.size());
  for (size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(UpperAscii(a.name[i]));
    const auto y = static_cast<unsigned char>(UpperAscii(b.name[i]));
    if (x != y) return x < y;
  }
  return a.name.size() != b.name.size() ? a.name.size() < b.name.size() : a.name < b.name;
}

// Lists `folder`'s entries that match `pattern`: "." and ".." first (except in
// the root folder, which has neither on Windows), then the rest by name.
// Returns false with the last error set when the folder cannot be read.
bool ListMatches(const std::string& folder, const std::string& pattern, std::vector<Found>& names) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) {
    if (errno == ENOENT || errno == ENOTDIR) return Fail(ERROR_PATH_NOT_FOUND);
    return FailFromErrno(folder.c_str());
  }
  std::vector<Found> others;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (MatchesWildcard(pattern, name)) others.push_back({std::string(name), entry->d_type});
  }
  ::closedir(dir);
  if (folder != "/") {
    for (const char* dots : {".", ".."}) {
      if (MatchesWildcard(pattern, dots)) names.push_back({dots, DT_DIR});
    }
  }
  std::sort(others.begin(), others.end(), NameLess);
  names.insert(names.end(), std::make_move_iterator(others.begin()),
               std::make_move_iterator(others.end()));
  if (names.empty()) return Fail(ERROR_FILE_NOT_FOUND);
  return true;
}

HANDLE StartSearch(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData, Details details) {
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
  std::vector<Found> names;
  if (HasWildcard(pattern)) {
    if (!ListMatches(folder, pattern, names)) return INVALID_HANDLE_VALUE;
  } else {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 && ::lstat(path.c_str(), &info) != 0) {
      FailFromErrno(path.c_str());
      return INVALID_HANDLE_VALUE;
    }
    names.push_back({pattern, DT_UNKNOWN});
  }
  auto search = std::make_shared<FindSearch>(folder, std::move(names), details);
  if (!search->Next(*lpFindFileData)) {
    Fail(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  return RegisterHandle(std::move(search));
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
  return StartSearch(lpFileName, lpFindFileData, Details::kStatus);
}

HANDLE WinportFindFirstFileNamesA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData) {
  using namespace winport::detail;
  return StartSearch(lpFileName, lpFindFileData, Details::kListing);
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
