// @brief What the help server asks of the search side: answers and status.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli/hit.h"
#include "cli/search.h"

namespace zvv {

struct SearchAnswer {
  std::vector<Hit> m_hits;
  // Hits the folder filter took away.
  std::size_t m_hidden = 0;
  // Empty on success; else the component's account of the failure.
  std::string m_error;
  // For a query the component could not read: the 1-based column it names.
  std::size_t m_column = 0;
};

struct IndexStatus {
  // Pages in the index.
  std::size_t m_pages = 0;
  // When the index last changed, in seconds since 1970 (UTC); 0 when there is none.
  std::int64_t m_updated = 0;
  // The Help folder's subfolders, relative, '/'-separated, sorted.
  std::vector<std::string> m_folders;
  // The page shown first, relative to Help; empty when the help has none.
  std::string m_home;
};

class SearchService {
 public:
  virtual ~SearchService() = default;
  // Called from the server's threads, possibly several at once.
  virtual SearchAnswer Search(const SearchRequest& request) = 0;
  virtual IndexStatus Status() = 0;
};

}  // namespace zvv
