// @brief The evidence a page gets from outside its own text, kept in step with submissions:
// the text of the links that other pages make to it.
//
// Outgoing links are stored per source page and resolved to page ids, so that a changed or
// removed page takes back exactly what it gave. Each page that a link came to or went from in a
// submission gets its evidence row rebuilt once, at the end of the submission, inside its
// transaction. A link to a page the collection does not hold
// is dropped: when such a page is added later, it gets the links of the pages written with it or
// after it.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "html_text.h"
#include "sqlite_db.h"

namespace dizode {

class LinkIndex {
 public:
  explicit LinkIndex(const Db& db);

  // Page `id` was written under `key` with these links; what it linked to before is taken back.
  void PageWritten(int64_t id, const std::string& key, const std::vector<PageLink>& links);
  // Page `id` is about to be removed: its links and its evidence go with it.
  void PageRemoved(int64_t id);
  // Resolves the links of the pages written and rebuilds the evidence of every page touched.
  void Finish();

 private:
  struct Pending {
    int64_t source;
    std::string target;  // a key
    std::string text;
  };
  void TakeBack(int64_t source);
  void Rebuild(int64_t id);

  const Db& m_db;
  Stmt m_targetsOf, m_dropOutgoing, m_dropIncoming, m_findKey, m_insertLink, m_textsTo,
      m_evidenceDelete, m_evidenceInsert;
  std::vector<Pending> m_pending;
  std::set<int64_t> m_touched;
  std::set<int64_t> m_removed;
};

}  // namespace dizode
