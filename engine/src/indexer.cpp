// @brief Writing submissions into the collection.
#include "indexer.h"

#include <algorithm>
#include <thread>

#include "dizode/dizode.h"
#include "extract_pool.h"
#include "link_index.h"
#include "title_names.h"
#include "status.h"
#include "text/analysis.h"
#include "text/prepared_tokens.h"

namespace dizode {
namespace {

// Removals beyond this share of the collection leave many deleted entries in the index
// segments; an optimise afterwards keeps searches fast.
constexpr int64_t kOptimiseShareDivisor = 10;
constexpr int64_t kOptimiseMinimum = 200;

void SortUnique(std::vector<std::string>& keys) {
  std::sort(keys.begin(), keys.end());
  keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
}

class PageWriter {
 public:
  explicit PageWriter(const Db& db)
      : m_db(db),
        m_find(db.get(), "SELECT id FROM pages WHERE key = ?1"),
        m_insert(db.get(),
                 "INSERT INTO pages(key, title, titlekey, size, mtime, hash, charset, lang, "
                 "sections) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)"),
        m_update(db.get(),
                 "UPDATE pages SET title = ?2, titlekey = ?3, size = ?4, mtime = ?5, hash = ?6, "
                 "charset = ?7, lang = ?8, sections = ?9 WHERE id = ?1"),
        m_ftsDelete(db.get(), "DELETE FROM fts WHERE rowid = ?1"),
        m_ftsInsert(db.get(), "INSERT INTO fts(rowid, title, heads, body) VALUES(?1, ?2, ?3, ?4)"),
        m_pageDelete(db.get(), "DELETE FROM pages WHERE id = ?1"),
        m_headingsDelete(db.get(), "DELETE FROM headings WHERE page = ?1"),
        m_headingInsert(db.get(),
                        "INSERT INTO headings(page, ord, heading, anchor) VALUES(?1, ?2, ?3, ?4)"),
        m_links(db) {}

  void Write(const std::string& key, const ExtractedPage& page, const std::string& title) {
    int64_t id = Find(key);
    Stmt& row = id ? m_update : m_insert;
    if (id)
      row.Bind(1, id);
    else
      row.Bind(1, key);
    row.Bind(2, title).Bind(3, TitleKey(title)).Bind(4, page.stamp.size).Bind(5, page.stamp.mtime);
    // A page indexed without its text (unreadable, or no text at all) has no hash: readers of
    // the page table tell such pages by it.
    if (page.problem.empty()) row.BindBlob(6, &page.hash, sizeof page.hash);
    row.Bind(7, page.text.charset).Bind(8, page.text.lang);
    const std::string sections = EncodeSections(page.sections);
    row.BindBlob(9, sections.data(), static_cast<int>(sections.size()));
    row.Run();
    if (id) {
      m_ftsDelete.Bind(1, id);
      m_ftsDelete.Run();
      m_headingsDelete.Bind(1, id);
      m_headingsDelete.Run();
    } else {
      id = sqlite3_last_insert_rowid(m_db.get());
    }
    m_ftsInsert.Bind(1, id).Bind(2, page.problem.empty() ? title : std::string());
    m_ftsInsert.Bind(3, page.text.heads).Bind(4, page.text.body);
    // The extraction threads have tokenized the page already; a text that differs from what
    // they saw (a title from the file name) is tokenized here.
    const text::TokenOffer offer({{page.text.title, &page.titleTokens},
                                  {page.text.heads, &page.headsTokens},
                                  {page.text.body, &page.bodyTokens}});
    m_ftsInsert.Run();
    WriteHeadings(id, page.text.sections);
    m_links.PageWritten(id, key, page.text.links);
  }

  bool Delete(const std::string& key) {
    int64_t id = Find(key);
    if (!id) return false;
    m_links.PageRemoved(id);
    m_headingsDelete.Bind(1, id);
    m_headingsDelete.Run();
    m_ftsDelete.Bind(1, id);
    m_ftsDelete.Run();
    m_pageDelete.Bind(1, id);
    m_pageDelete.Run();
    return true;
  }

  // Rebuilds what the submission's pages changed in the link evidence and the titles' names.
  void Finish() {
    m_links.Finish();
    UpdateTitleNames(m_db);
  }

 private:
  void WriteHeadings(int64_t id, const std::vector<PageSection>& sections) {
    int64_t ord = 0;
    for (const PageSection& section : sections) {
      m_headingInsert.Bind(1, id).Bind(2, ord++).Bind(3, section.heading).Bind(4, section.anchor);
      m_headingInsert.Run();
    }
  }

  int64_t Find(const std::string& key) {
    m_find.Bind(1, key);
    int64_t id = m_find.Step() ? m_find.Int(0) : 0;
    m_find.Reset();
    return id;
  }

  const Db& m_db;
  Stmt m_find, m_insert, m_update, m_ftsDelete, m_ftsInsert, m_pageDelete, m_headingsDelete,
      m_headingInsert;
  LinkIndex m_links;
};

// Reading the index's first term opens a reader on every index segment (its first leaf): a
// damaged index then fails the submission as corrupt, rolled back, instead of taking writes it
// cannot serve. The cost is one page per segment.
void ProbeIndex(const Db& db) {
  Stmt probe(db.get(), "SELECT term FROM fts_vocab LIMIT 1");
  probe.Step();
}

void RefuseReadOnly(const Store& store) {
  if (store.readOnly())
    Fail(TK_E_READ_ONLY,
         "the collection at " + store.folder() + " is read-only: updates are refused");
}

// Runs `body` as the submission; any failure is reported as the fatal message first.
template <typename Body>
void Submission(Progress& progress, Body&& body) {
  try {
    body();
  } catch (const std::bad_alloc&) {
    progress.Error("out of memory");
    throw;
  } catch (const std::exception& error) {
    progress.Error(error.what());
    throw;
  }
}

}  // namespace

std::string TitleKey(std::string_view title) { return text::SearchKey(title); }

void AddPages(Store& store, std::vector<std::string> keys, Progress& progress) {
  RefuseReadOnly(store);
  SortUnique(keys);
  progress.Start(keys.size());
  Submission(progress, [&] {
    Transaction transaction(store.db());
    PageWriter writer(store.db());
    // The writing thread keeps a core of its own: it is the slower side of the pipeline, and
    // extraction threads that outnumber the other cores only take turns with it.
    const size_t threads = std::max(2u, std::thread::hardware_concurrency()) - 1;
    ExtractPool pool(keys, keys.size() > 1 ? threads : 0, store.language());
    for (size_t i = 0; i < keys.size(); ++i) {
      ExtractedPage page = pool.Next();
      std::string_view name = FileNameOf(keys[i]);
      progress.Document(i + 1, name);
      // Storing such a page without its text would report a success that is not one.
      if (page.transient) Fail(TK_E_IO, "reading " + keys[i] + ": " + page.problem);
      if (!page.problem.empty()) progress.Skipped(name, page.problem);
      writer.Write(keys[i], page, page.problem.empty() ? page.text.title : std::string(name));
    }
    progress.Update("the collection index");
    writer.Finish();
    ProbeIndex(store.db());
    transaction.Commit();
  });
  store.NoteWrite(static_cast<int64_t>(keys.size()));
}

void DeletePages(Store& store, std::vector<std::string> keys, Progress& progress) {
  RefuseReadOnly(store);
  SortUnique(keys);
  progress.StartRemoval(keys.size());
  int64_t before = store.DocumentCount();
  int64_t removed = 0;
  Submission(progress, [&] {
    Transaction transaction(store.db());
    PageWriter writer(store.db());
    for (const std::string& key : keys) removed += writer.Delete(key) ? 1 : 0;
    writer.Finish();
    ProbeIndex(store.db());
    transaction.Commit();
  });
  store.NoteWrite(removed);
  if (removed >= kOptimiseMinimum && removed * kOptimiseShareDivisor >= before) {
    progress.Update("the collection index after removals");
    // Best effort: the removal itself is committed; a busy collection is optimised later by
    // the merges of refresh requests.
    sqlite3_exec(store.db().get(), "INSERT INTO fts(fts) VALUES('optimize')", nullptr, nullptr,
                 nullptr);
  }
}

}  // namespace dizode
