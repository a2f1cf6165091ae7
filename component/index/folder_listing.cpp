// @brief Listing a folder through the system's folder search, by full path:
// the process's current directory is never touched, so scans on several
// threads and relative folders both work.
#include "component/index/folder_listing.h"

#include <utility>

#include "component/toolkit/path_separator.h"

namespace {

bool IsDotEntry(const char* sName) {
  return (sName[0] == '.' && sName[1] == '\0') ||
         (sName[0] == '.' && sName[1] == '.' && sName[2] == '\0');
}

FolderLister& ActiveLister() {
  static FolderLister lister;
  return lister;
}

}  // namespace

DWORD ListFolder(const std::string& sFolder, std::vector<FolderEntry>& entries) {
  const std::string sPattern = sFolder + kPathSeparatorText + "*.*";
  WIN32_FIND_DATAA entry;
  HANDLE hFind = FindFirstFileA(sPattern.c_str(), &entry);
  if (hFind == INVALID_HANDLE_VALUE) {
    return GetLastError();
  }
  do {
    if (!IsDotEntry(entry.cFileName)) {
      entries.push_back(
          {entry.cFileName, (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    }
  } while (FindNextFileA(hFind, &entry));
  // The search ends with "no more files"; anything else cut the listing short.
  const DWORD dwError = GetLastError();
  FindClose(hFind);
  return dwError == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : dwError;
}

DWORD ListFolderForScan(const std::string& sFolder, std::vector<FolderEntry>& entries) {
  const FolderLister& lister = ActiveLister();
  return lister ? lister(sFolder, entries) : ListFolder(sFolder, entries);
}

FolderLister ReplaceFolderLister(FolderLister lister) {
  return std::exchange(ActiveLister(), std::move(lister));
}
