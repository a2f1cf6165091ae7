#include "query/rank_evidence.h"

#include <algorithm>
#include <new>

#include "fts5_api.h"

namespace dizode::query {
namespace {

int Gather(const Fts5ExtensionApi* api, Fts5Context* fts, Evidence& evidence) {
  int rc = SQLITE_OK;
  if (evidence.rows.empty()) {
    sqlite3_int64 rows = 0;
    sqlite3_int64 total = 0;
    rc = api->xRowCount(fts, &rows);
    if (rc == SQLITE_OK) rc = api->xColumnTotalSize(fts, 0, &total);
    evidence.averageLength = rows > 0 ? static_cast<double>(total) / static_cast<double>(rows) : 0;
  }
  EvidenceRow row;
  row.firstHit = static_cast<uint32_t>(evidence.hits.size());
  int length = 0;
  if (rc == SQLITE_OK) rc = api->xColumnSize(fts, 0, &length);
  row.length = static_cast<uint32_t>(std::max(0, length));
  const int phrases = std::min(api->xPhraseCount(fts), static_cast<int>(evidence.phraseOf.size()));
  for (int p = 0; rc == SQLITE_OK && p < phrases; ++p) {
    Fts5PhraseIter iterator;
    int column = -1;
    int offset = 0;
    rc = api->xPhraseFirst(fts, p, &iterator, &column, &offset);
    EvidenceHit hit{evidence.phraseOf[p], 0};
    for (; rc == SQLITE_OK && column >= 0; api->xPhraseNext(fts, &iterator, &column, &offset)) {
      ++hit.frequency;
    }
    if (hit.frequency > 0) evidence.hits.push_back(hit);
  }
  row.hitCount = static_cast<uint32_t>(evidence.hits.size()) - row.firstHit;
  if (rc == SQLITE_OK && row.hitCount > 0) evidence.rows[api->xRowid(fts)] = row;
  return rc;
}

void HelpEvidence(const Fts5ExtensionApi* api, Fts5Context* fts, sqlite3_context* context, int argc,
                  sqlite3_value** argv) {
  auto* evidence = argc > 0 && argv[0] != nullptr
                       ? static_cast<Evidence*>(sqlite3_value_pointer(argv[0], kEvidencePointer))
                       : nullptr;
  if (evidence == nullptr) {
    sqlite3_result_null(context);
    return;
  }
  try {
    if (const int rc = Gather(api, fts, *evidence); rc != SQLITE_OK) {
      sqlite3_result_error_code(context, rc);
      return;
    }
    sqlite3_result_null(context);
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(context);
  }
}

}  // namespace

int RegisterHelpEvidence(sqlite3* db) {
  fts5_api* fts5 = nullptr;
  if (int rc = GetFts5Api(db, &fts5)) return rc;
  return fts5->xCreateFunction(fts5, "help_evidence", nullptr, HelpEvidence, nullptr);
}

}  // namespace dizode::query
