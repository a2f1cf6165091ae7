// @brief Listing and query execution over a collection.
#include "search.h"

#include <chrono>
#include <cmath>

#include "dizode/dizode.h"
#include "freshness.h"
#include "indexer.h"
#include "last_error.h"
#include "query/query.h"
#include "query/rank_evidence.h"
#include "query/ranking.h"
#include "status.h"

namespace dizode {
namespace {

// A help search that takes longer than this is a runaway query, not a slow disk.
constexpr std::chrono::seconds kQueryBudget{10};
// Virtual machine steps between two looks at the clock.
constexpr int kProgressSteps = 10000;
// Longest culprit that a query error's text quotes.
constexpr int kQuotedCulpritBytes = 40;

using Clock = std::chrono::steady_clock;

int PastDeadline(void* deadline) {
  return Clock::now() > *static_cast<Clock::time_point*>(deadline) ? 1 : 0;
}

// Installs the time budget for the statements run while it lives.
class Budget {
 public:
  explicit Budget(sqlite3* db) : m_db(db), m_deadline(Clock::now() + kQueryBudget) {
    sqlite3_progress_handler(db, kProgressSteps, PastDeadline, &m_deadline);
  }
  ~Budget() { sqlite3_progress_handler(m_db, 0, nullptr, nullptr); }

 private:
  sqlite3* m_db;
  Clock::time_point m_deadline;
};

// Reads what the evidence table says of the pages the statement's scored phrases match there.
void GatherEvidence(const Db& db, const query::Statement& statement, query::Evidence& evidence) {
  evidence.phraseOf = statement.evidencePhrases;
  Stmt gather(db.get(), "SELECT help_evidence(evidence, ?1) FROM evidence WHERE evidence MATCH ?2");
  sqlite3_bind_pointer(gather.get(), 1, &evidence, query::kEvidencePointer, nullptr);
  gather.Bind(2, statement.evidenceMatch);
  while (gather.Step()) {
  }
}

void Collect(const Db& db, const query::Statement& statement, std::vector<Hit>& hits) {
  Stmt stmt(db.get(), statement.sql);
  query::Evidence evidence;
  for (size_t i = 0; i < statement.params.size(); ++i) {
    const int param = static_cast<int>(i + 1);
    if (param == statement.evidenceParam) {
      GatherEvidence(db, statement, evidence);
      sqlite3_bind_pointer(stmt.get(), param, &evidence, query::kEvidencePointer, nullptr);
    } else {
      stmt.Bind(param, statement.params[i]);
    }
  }
  std::vector<query::RankedRow> rows;
  while (stmt.Step()) {
    bool scored = !stmt.IsNull(3);
    double raw = scored ? sqlite3_column_double(stmt.get(), 3) : 0.0;
    rows.push_back(
        {stmt.Text(0), stmt.Text(1), stmt.Text(2), std::isfinite(raw) ? raw : 0.0, scored});
  }
  std::vector<size_t> order = query::Rank(rows);
  hits.reserve(order.size());
  for (size_t i : order)
    hits.push_back(
        {std::move(rows[i].key), std::move(rows[i].title), std::to_string(rows[i].score)});
}

}  // namespace

SearchResult ListAll(Store& store, Progress& progress) {
  std::vector<std::string> changed;
  std::vector<IndexedPage> pages = ScanPages(store.db(), &changed);
  if (!changed.empty()) {
    try {
      AddPages(store, std::move(changed), progress);
      pages = ScanPages(store.db(), nullptr);  // the re-indexed pages may have new titles
    } catch (const StatusError&) {
      // The pages stay as they were and are found changed again by the next listing; the
      // listing itself is still true to what the collection holds.
    }
  }
  SearchResult result;
  result.hits.reserve(pages.size());
  for (IndexedPage& page : pages)
    result.hits.push_back({std::move(page.key), std::move(page.title), "0"});
  return result;
}

SearchResult RunQuery(Store& store, std::string_view text, query::Options options) {
  SearchResult result;
  // Expanding wildcards reads the vocabulary: that counts against the budget too.
  Budget budget(store.db().get());
  options.stemLanguage = store.language();
  query::Plan plan = query::Compile(text, store.db().get(), options);
  if (plan.error) {
    if (plan.error->code == query::Code::kEmpty) {
      result.warningCount = static_cast<int>(plan.warnings.size());  // what was dropped, and why
      return result;
    }
    const query::Diagnostic& error = *plan.error;
    int32_t status = query::StatusFor(error.code);
    std::string message = error.message;
    // The culprit is quoted when it is short enough to read at a glance.
    if (error.length > 0 && error.length <= kQuotedCulpritBytes &&
        static_cast<size_t>(error.offset + error.length) <= text.size())
      message += " (at \"" + std::string(text.substr(error.offset, error.length)) + "\")";
    throw StatusError(status ? status : TK_E_QUERY_INTERNAL, message,
                      CharacterColumn(text, static_cast<size_t>(error.offset)));
  }
  result.warningCount = static_cast<int>(plan.warnings.size());
  if (plan.matchesNothing) return result;
  Collect(store.db(), plan.statement, result.hits);
  if (result.hits.empty() && plan.relaxed) {
    Collect(store.db(), *plan.relaxed, result.hits);
    if (plan.relaxedWarning) ++result.warningCount;
  }
  return result;
}

}  // namespace dizode
