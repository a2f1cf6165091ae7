// @brief Stamp comparison of indexed pages against their files.
#include "freshness.h"

#include "page_file.h"

namespace dizode {

std::vector<std::string> ChangedPages(const Db& db) {
  std::vector<std::string> changed;
  Stmt pages(db.get(), "SELECT key, size, mtime FROM pages ORDER BY key");
  while (pages.Step()) {
    std::string key = pages.Text(0);
    std::optional<FileStamp> now = StampOf(key);
    if (!now) continue;
    FileStamp indexed{pages.IsNull(1) ? -1 : pages.Int(1), pages.IsNull(2) ? -1 : pages.Int(2)};
    if (*now != indexed) changed.push_back(std::move(key));
  }
  return changed;
}

}  // namespace dizode
