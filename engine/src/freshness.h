// @brief Reading the page list while finding the pages whose file changed since indexing.
//
// A page edited under the same name keeps its key, so nobody else notices the change; the
// full listing asks this before it answers. Only size and modification time are compared (one
// stat per page), which keeps the check cheap enough to run on every listing.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "page_file.h"
#include "sqlite_db.h"

namespace dizode {

struct IndexedPage {
  std::string key;
  std::string title;
};

// The stamps StampOf() gives, for many paths in a row: each file costs one stat relative to its
// folder, opened once for a run of paths in the same folder (pages in key order come in such
// runs), so the kernel does not walk the whole path again for every page.
class FolderStamper {
 public:
  FolderStamper() = default;
  FolderStamper(const FolderStamper&) = delete;
  FolderStamper& operator=(const FolderStamper&) = delete;
  ~FolderStamper();

  std::optional<FileStamp> Stamp(const std::string& path);

 private:
  std::string m_folder;
  int m_folderFd = -1;
};

// Every page in key order. With `changed`, also collects (in key order) the keys of pages whose
// file exists and differs in size or modification time from what was indexed; pages whose
// file vanished are left to the caller's delete.
std::vector<IndexedPage> ScanPages(const Db& db, std::vector<std::string>* changed);

}  // namespace dizode
