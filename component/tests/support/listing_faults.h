// @brief Makes the scan's listing of chosen folders fail with chosen system
// errors, for as long as the object lives; other folders are listed as usual.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "component/index/folder_listing.h"

class ListingFaults {
 public:
  ListingFaults()
      : m_previous(ReplaceFolderLister(
            [this](const std::string& sFolder, std::vector<FolderEntry>& entries) {
              auto it = m_faults.find(sFolder);
              return it == m_faults.end() ? ListFolder(sFolder, entries) : it->second;
            })) {}
  ~ListingFaults() { ReplaceFolderLister(std::move(m_previous)); }
  ListingFaults(const ListingFaults&) = delete;
  ListingFaults& operator=(const ListingFaults&) = delete;

  void Fail(const std::string& sFolder, DWORD dwError) { m_faults[sFolder] = dwError; }

 private:
  std::map<std::string, DWORD> m_faults;
  FolderLister m_previous;
};
