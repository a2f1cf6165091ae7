// @brief File stamps read one status call per page, relative to the page's open folder.
//
// The freshness check of a full listing looks at every page of the collection. Keys are full
// paths sorted, so the pages of one folder come together: the folder is opened once and each
// page is looked up by its name in it, which spares resolving the whole path again for every
// page. With file_system.cpp, one of the engine's two files that talk to the operating system.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "page_file.h"

namespace dizode {

class FolderStats {
 public:
  FolderStats() = default;
  ~FolderStats();
  FolderStats(const FolderStats&) = delete;
  FolderStats& operator=(const FolderStats&) = delete;

  // The stamp of the regular file at `path`, or nullopt when it cannot be examined or is not a
  // regular file (a folder, a device, a dangling link). Links are followed, as a read would.
  std::optional<FileStamp> Stamp(std::string_view path);

 private:
  std::string m_folder;  // the folder `m_handle` is open on
  int m_handle = -1;     // -1: none open (or the folder could not be opened)
};

}  // namespace dizode
