// @brief Listing a folder through the system's folder search, by full path:
// the process's current directory is never touched, so scans on several
// threads and relative folders both work.
#include "component/index/folder_listing.h"

#include <utility>

#include "component/search/text_conversion.h"
#include "component/toolkit/path_separator.h"

namespace {

// Names in UTF-8 whatever the system's code page: Windows gives a name
// outside the ANSI code page only through its wide functions.
#ifdef _WIN32
using FindData = WIN32_FIND_DATAW;
HANDLE FindFirst(const std::string& sPattern, FindData& data) {
  return FindFirstFileW(NarrowToWide(sPattern.c_str()).c_str(), &data);
}
BOOL FindNext(HANDLE hFind, FindData& data) { return FindNextFileW(hFind, &data); }
std::string NameOf(const FindData& data) { return WideToNarrow(data.cFileName); }
#else
// Names and folder marks are all a scan reads: the full search would read the
// status of every page, which the toolkit's freshness check reads anyway.
using FindData = WIN32_FIND_DATAA;
HANDLE FindFirst(const std::string& sPattern, FindData& data) {
  return WinportFindFirstFileNamesA(sPattern.c_str(), &data);
}
BOOL FindNext(HANDLE hFind, FindData& data) { return FindNextFileA(hFind, &data); }
std::string NameOf(const FindData& data) { return data.cFileName; }
#endif

bool IsDotEntry(const std::string& sName) { return sName == "." || sName == ".."; }

ListingFault& ActiveFault() {
  static ListingFault fault;
  return fault;
}

// False, with the error set as the system would, when a fault is put in place
// for this point of the listing.
bool NoFaultAt(const std::string& sFolder, size_t nEntries) {
  const ListingFault& fault = ActiveFault();
  const DWORD dwError = fault ? fault(sFolder, nEntries) : ERROR_SUCCESS;
  if (dwError == ERROR_SUCCESS) {
    return true;
  }
  SetLastError(dwError);
  return false;
}

}  // namespace

DWORD ListFolder(const std::string& sFolder, std::vector<FolderEntry>& entries) {
  const std::string sPattern = sFolder + kPathSeparatorText + "*.*";
  FindData entry;
  size_t nRead = 0;
  if (!NoFaultAt(sFolder, nRead)) {
    return GetLastError();
  }
  HANDLE hFind = FindFirst(sPattern, entry);
  // The system spells its invalid handle as a cast of -1.
  // NOLINTNEXTLINE(performance-no-int-to-ptr)
  if (hFind == INVALID_HANDLE_VALUE) {
    return GetLastError();
  }
  do {
    ++nRead;
    std::string sName = NameOf(entry);
    if (!IsDotEntry(sName)) {
      entries.push_back(
          {std::move(sName), (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    }
  } while (NoFaultAt(sFolder, nRead) && FindNext(hFind, entry));
  // The search ends with "no more files"; anything else cut the listing short.
  const DWORD dwError = GetLastError();
  FindClose(hFind);
  return dwError == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : dwError;
}

ListingFault ReplaceListingFault(ListingFault fault) {
  return std::exchange(ActiveFault(), std::move(fault));
}
