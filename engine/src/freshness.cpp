// @brief Stamp comparison of indexed pages against their files.
#include "freshness.h"

#include <algorithm>
#include <optional>
#include <thread>

#include "folder_stats.h"
#include "page_file.h"

namespace dizode {
namespace {

// Below this many pages one thread stats them all faster than starting others.
constexpr size_t kPagesPerThread = 2000;

struct Row {
  FileStamp indexed;
  bool changed = false;
};

// Marks the rows whose file exists and differs from its indexed stamp. The stats dominate a
// listing's cost, so large collections spread them over the cores.
void CompareStamps(const std::vector<IndexedPage>& pages, std::vector<Row>& rows) {
  auto compare = [&](size_t begin, size_t end) {
    FolderStats folders;
    for (size_t i = begin; i < end; ++i) {
      std::optional<FileStamp> now = folders.Stamp(pages[i].key);
      rows[i].changed = now && *now != rows[i].indexed;
    }
  };
  size_t threads = std::min<size_t>(std::max(1u, std::thread::hardware_concurrency()),
                                    pages.size() / kPagesPerThread);
  if (threads <= 1) return compare(0, pages.size());
  std::vector<std::thread> workers;
  size_t share = (pages.size() + threads - 1) / threads;
  for (size_t begin = share; begin < pages.size(); begin += share)
    workers.emplace_back(compare, begin, std::min(pages.size(), begin + share));
  compare(0, share);
  for (std::thread& worker : workers) worker.join();
}

}  // namespace

std::vector<IndexedPage> ScanPages(const Db& db, std::vector<std::string>* changed) {
  std::vector<IndexedPage> pages;
  std::vector<Row> rows;
  Stmt select(db.get(), "SELECT key, title, size, mtime FROM pages ORDER BY key");
  while (select.Step()) {
    pages.push_back({select.Text(0), select.Text(1)});
    rows.push_back(
        {{select.IsNull(2) ? -1 : select.Int(2), select.IsNull(3) ? -1 : select.Int(3)}});
  }
  if (changed) {
    CompareStamps(pages, rows);
    for (size_t i = 0; i < pages.size(); ++i)
      if (rows[i].changed) changed->push_back(pages[i].key);
  }
  return pages;
}

}  // namespace dizode
