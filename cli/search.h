// @brief One search through the component's Find, turned into hits.
#pragma once

#include <string>
#include <vector>

#include "cli/hit.h"
#include "component/com/ivivevi_vadiro.h"
#include "winport/win32.h"

namespace zvv {

struct SearchRequest {
  std::string m_query;
  // Folder texts a hit's key must contain one of; empty for no filter.
  std::vector<std::string> m_dirs;
  bool m_titleOnly = false;
};

// Calls Find and collects the hits in the component's order, skipping the
// empty elements of hits outside the requested folders. Paths are made
// relative to `helpFolder`.
[[nodiscard]] HRESULT Search(IViveviVadiro* component, const SearchRequest& request,
                             const std::string& helpFolder, std::vector<Hit>& hits);

// The folder list as Find takes it: a vector of VARIANTs holding BSTRs.
[[nodiscard]] HRESULT MakeFolderList(const std::vector<std::string>& dirs, VARIANT* list);

// Reads Find's result: VT_EMPTY for none, else a vector whose elements are
// empty or rows of three BSTRs (score, key, title).
[[nodiscard]] HRESULT ReadResults(const VARIANT& results, const std::string& helpFolder,
                                  std::vector<Hit>& hits);

}  // namespace zvv
