// @brief Listing one folder by its path, and the seam through which tests put
// a failing listing in its place.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "winport/win32.h"

struct FolderEntry {
  std::string sName;
  bool bFolder = false;
};

// Lists sFolder's entries, "." and ".." left out, in the order the system
// gives them. Returns ERROR_SUCCESS, or the system error that stopped the
// listing; after a failure the entries are incomplete and must not be used.
// ERROR_FILE_NOT_FOUND means the folder exists but nothing in it matched;
// ERROR_PATH_NOT_FOUND that the folder itself is missing.
DWORD ListFolder(const std::string& sFolder, std::vector<FolderEntry>& entries);

using FolderLister = std::function<DWORD(const std::string&, std::vector<FolderEntry>&)>;

// The listing every scan uses: ListFolder unless another was put in its place.
DWORD ListFolderForScan(const std::string& sFolder, std::vector<FolderEntry>& entries);

// Puts lister in place of ListFolder for every scan (an empty one puts
// ListFolder back) and returns the one it replaced. Only for tests, and only
// while no scan runs.
FolderLister ReplaceFolderLister(FolderLister lister);
