// @brief What zvv index and zvv status print about the help index.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "cli/index_changes.h"
#include "cli/index_record.h"

namespace zvv {

// The facts both commands print. Keys are full paths; they are printed relative to the Help
// folder.
struct IndexFacts {
  std::string m_helpFolder;
  std::string m_collectionFolder;
  // The index as it is now; m_indexed false when there is none.
  bool m_indexed = false;
  IndexRecord m_record;
  // Pages in the Help folder.
  std::size_t m_helpPages = 0;
  // The index cannot be written here: no command of this user brings it up to date.
  bool m_readOnly = false;
  // For index: what the update did. For status: what the next update would do.
  PageChanges m_changes;
};

// What zvv index did, `created` telling whether it made the index, `milliseconds` how long
// starting the component took.
void PrintIndexReport(std::ostream& out, const IndexFacts& facts, bool created,
                      std::int64_t milliseconds, bool json);

// What zvv status found.
void PrintIndexStatus(std::ostream& out, const IndexFacts& facts, bool json);

// "3 bytes", "12 KiB", "1.5 MiB".
std::string ByteSize(std::uintmax_t bytes);

// "a.htm, b.htm, c.htm and 4 more": up to `shown` of `paths`.
std::string NameList(const std::vector<std::string>& paths, std::size_t shown);

}  // namespace zvv
