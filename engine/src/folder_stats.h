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
#ifdef _WIN32
#include <unordered_map>
#endif

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
  std::string m_folder;  // the folder last looked in
#ifdef _WIN32
  std::unordered_map<std::string, FileStamp> m_files;  // its regular files by name
#else
  int m_handle = -1;  // open on m_folder; -1: none open (or the folder could not be opened)
#endif
};

}  // namespace dizode
