// @brief Makes the scan's listing of chosen folders fail with chosen system
// errors, at their start or part-way, for as long as the object lives; other
// folders are listed as usual.
#pragma once

#include <map>
#include <string>
#include <utility>

#include "component/index/folder_listing.h"

class ListingFaults {
 public:
  ListingFaults()
      : m_previous(ReplaceListingFault([this](const std::string& sFolder, size_t nEntries) {
          auto it = m_faults.find(sFolder);
          return it != m_faults.end() && nEntries == it->second.first ? it->second.second
                                                                      : ERROR_SUCCESS;
        })) {}
  ~ListingFaults() { ReplaceListingFault(std::move(m_previous)); }
  ListingFaults(const ListingFaults&) = delete;
  ListingFaults& operator=(const ListingFaults&) = delete;

  // The listing of sFolder fails before it starts.
  void Fail(const std::string& sFolder, DWORD dwError) { FailAfter(sFolder, 0, dwError); }
  // The listing of sFolder fails once the system has given nEntries of its
  // entries ("." and ".." count).
  void FailAfter(const std::string& sFolder, size_t nEntries, DWORD dwError) {
    m_faults[sFolder] = {nEntries, dwError};
  }

 private:
  std::map<std::string, std::pair<size_t, DWORD>> m_faults;
  ListingFault m_previous;
};
