// @brief Listing one folder by its path, and the seam through which tests make
// a listing fail where they choose.
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

// Asked before a listing starts (nEntries 0) and before each further entry is
// read (nEntries read so far): a system error ends the listing there as if
// the system had failed with it, ERROR_SUCCESS lets it go on.
using ListingFault = std::function<DWORD(const std::string& sFolder, size_t nEntries)>;

// Puts fault in place for every listing (an empty one removes it) and returns
// the one it replaced. Only for tests, and only while no scan runs.
ListingFault ReplaceListingFault(ListingFault fault);
