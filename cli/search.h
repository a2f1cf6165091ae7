// @brief One search through the component's Find, turned into hits.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cli/hit.h"
#include "component/com/ivivevi_vadiro.h"
#include "winport/win32.h"

namespace zvv {

struct SearchRequest {
  std::string m_query;
  // Texts a hit's path in the Help folder must contain one of; empty for no filter.
  std::vector<std::string> m_dirs;
  bool m_titleOnly = false;
};

// Calls Find and collects the hits in the component's order, with paths
// relative to `helpFolder`, keeping those inside the requested folders;
// `hidden` counts the others. Returns Find's result: S_FALSE when the hits
// come from an index that could not be brought up to date.
[[nodiscard]] HRESULT Search(IViveviVadiro* component, const SearchRequest& request,
                             const std::string& helpFolder, std::vector<Hit>& hits,
                             std::size_t& hidden);

// Removes the hits whose path contains none of `dirs` (none when `dirs` is
// empty) and returns how many it removed. The path is matched rather than the
// key, so that the folders above Help, which the user never sees in the
// output, cannot make a filter keep everything.
std::size_t KeepInsideDirs(std::vector<Hit>& hits, const std::vector<std::string>& dirs);

// Reads Find's result: VT_EMPTY for none, else a vector whose elements are
// empty or rows of three BSTRs (score, key, title).
[[nodiscard]] HRESULT ReadResults(const VARIANT& results, const std::string& helpFolder,
                                  std::vector<Hit>& hits);

}  // namespace zvv
