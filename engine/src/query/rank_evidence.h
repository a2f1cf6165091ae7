// @brief What the evidence table (the text of the links that other pages make to a page) says
// of the pages that one query's phrases match there, gathered before the query's pages are
// scored.
//
// The evidence is not the page's own text, so it never decides whether a page matches: it only
// adds to the score of pages that match by their text. It is read with one statement over the
// evidence table,
//
//   SELECT help_evidence(evidence, ?1) FROM evidence WHERE evidence MATCH ?2
//
// where ?2 is the positive phrases of the query ORed, in order, and ?1 an Evidence object bound
// with sqlite3_bind_pointer under kEvidencePointer; help_rank then reads the object through the
// same kind of pointer argument.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace dizode::query {

inline constexpr const char* kEvidencePointer = "dizode-rank-evidence";

struct EvidenceHit {
  int phrase;  // the phrase's number in the query's MATCH text
  uint32_t frequency;
};

struct EvidenceRow {
  uint32_t length = 0;
  uint32_t firstHit = 0;  // into Evidence::hits
  uint32_t hitCount = 0;
};

struct Evidence {
  // The query's phrase number of each phrase of the evidence MATCH text, in its order.
  std::vector<int> phraseOf;
  double averageLength = 0;
  std::unordered_map<int64_t, EvidenceRow> rows;  // by page id
  std::vector<EvidenceHit> hits;                  // every row's, one row after the other
};

// Registers help_evidence on this connection. Returns an SQLite result code.
int RegisterHelpEvidence(sqlite3* db);

}  // namespace dizode::query
