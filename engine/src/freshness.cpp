// @brief Stamp comparison of indexed pages against their files.
#include "freshness.h"

#include "page_file.h"

namespace dizode {

std::vector<IndexedPage> ScanPages(const Db& db, std::vector<std::string>* changed) {
  std::vector<IndexedPage> pages;
  Stmt rows(db.get(), "SELECT key, title, size, mtime FROM pages ORDER BY key");
  while (rows.Step()) {
    pages.push_back({rows.Text(0), rows.Text(1)});
    if (!changed) continue;
    std::optional<FileStamp> now = StampOf(pages.back().key);
    FileStamp indexed{rows.IsNull(2) ? -1 : rows.Int(2), rows.IsNull(3) ? -1 : rows.Int(3)};
    if (now && *now != indexed) changed->push_back(pages.back().key);
  }
  return pages;
}

}  // namespace dizode
