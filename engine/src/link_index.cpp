#include "link_index.h"

#include <algorithm>

#include "link_target.h"

namespace dizode {
namespace {

// The links field of a page is read like any other field; this much of it is plenty to say what
// other pages call it, and keeps a page that every page links to ("Contents") from growing a
// field of all the help's navigation.
constexpr size_t kMaxLinkFieldBytes = 8192;

}  // namespace

LinkIndex::LinkIndex(const Db& db)
    : m_db(db),
      m_targetsOf(db.get(), "SELECT DISTINCT target FROM links WHERE source = ?1"),
      m_dropOutgoing(db.get(), "DELETE FROM links WHERE source = ?1"),
      m_dropIncoming(db.get(), "DELETE FROM links WHERE target = ?1"),
      m_findKey(db.get(), "SELECT id FROM pages WHERE key = ?1"),
      m_insertLink(db.get(),
                   "INSERT OR IGNORE INTO links(target, source, text) VALUES(?1, ?2, ?3)"),
      m_textsTo(db.get(), "SELECT text FROM links WHERE target = ?1 ORDER BY source, text"),
      m_evidenceDelete(db.get(), "DELETE FROM evidence WHERE rowid = ?1"),
      m_evidenceInsert(db.get(), "INSERT INTO evidence(rowid, links) VALUES(?1, ?2)") {}

void LinkIndex::TakeBack(int64_t source) {
  m_targetsOf.Bind(1, source);
  while (m_targetsOf.Step()) m_touched.insert(m_targetsOf.Int(0));
  m_targetsOf.Reset();
  m_dropOutgoing.Bind(1, source);
  m_dropOutgoing.Run();
}

void LinkIndex::PageWritten(int64_t id, const std::string& key,
                            const std::vector<PageLink>& links) {
  TakeBack(id);
  for (const PageLink& link : links) {
    std::string target = LinkTarget(key, link.href);
    if (!target.empty()) m_pending.push_back({id, std::move(target), link.text});
  }
}

void LinkIndex::PageRemoved(int64_t id) {
  TakeBack(id);
  m_dropIncoming.Bind(1, id);
  m_dropIncoming.Run();
  m_evidenceDelete.Bind(1, id);
  m_evidenceDelete.Run();
  m_removed.insert(id);
}

void LinkIndex::Finish() {
  // Resolved in key order, each key looked up once.
  std::sort(m_pending.begin(), m_pending.end(),
            [](const Pending& a, const Pending& b) { return a.target < b.target; });
  const std::string* lastKey = nullptr;
  int64_t target = 0;
  for (const Pending& link : m_pending) {
    if (lastKey == nullptr || *lastKey != link.target) {
      m_findKey.Bind(1, link.target);
      target = m_findKey.Step() ? m_findKey.Int(0) : 0;
      m_findKey.Reset();
      lastKey = &link.target;
    }
    if (target == 0 || target == link.source) continue;
    m_insertLink.Bind(1, target).Bind(2, link.source).Bind(3, link.text);
    m_insertLink.Run();
    m_touched.insert(target);
  }
  m_pending.clear();
  for (const int64_t id : m_touched) {
    if (m_removed.count(id) == 0) Rebuild(id);
  }
  m_touched.clear();
  m_removed.clear();
}

void LinkIndex::Rebuild(int64_t id) {
  std::string texts;
  m_textsTo.Bind(1, id);
  while (m_textsTo.Step() && texts.size() < kMaxLinkFieldBytes) {
    if (!texts.empty()) texts += ' ';
    texts += m_textsTo.Text(0);
  }
  m_textsTo.Reset();
  m_evidenceDelete.Bind(1, id);
  m_evidenceDelete.Run();
  if (texts.empty()) return;
  m_evidenceInsert.Bind(1, id).Bind(2, texts);
  m_evidenceInsert.Run();
}

}  // namespace dizode
