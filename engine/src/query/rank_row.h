// @brief What the ranking functions read of one matching row: where the query's scored phrases
// occur, and how much each word group occurs over the fields, with its inverse document
// frequency. Kept per MATCH query as FTS5 auxiliary data, with buffers reused from row to row.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fts5_api.h"
#include "query/help_rank.h"
#include "query/help_rank_weights.h"
#include "query/rank_evidence.h"

namespace dizode::query {

inline constexpr int kOwnFields = 3;  // title, headings, body: the columns of the page's own text

// One occurrence of a scored phrase in the row, in the page's own columns.
struct Instance {
  int column;
  int offset;
  int phrase;
};

struct RowState {
  int phraseCount = 0;
  int columnCount = 0;
  sqlite3_int64 rowCount = 0;
  double averageLength[kOwnFields] = {0, 0, 0};  // 0 when the column holds no token at all

  bool weightsParsed = false;
  std::string weightsText;  // the list `phrases` was parsed from
  std::vector<RankWeight> phrases;
  std::vector<int> groupOf;  // per phrase: its word group, numbered from 0; -1 when unscored
  int groupCount = 0;
  std::vector<int> phraseSize;  // tokens per phrase
  std::vector<double> idf;      // per phrase, negative until counted

  // Of the current row.
  int length[kOwnFields] = {0, 0, 0};
  std::vector<int> termFrequency;       // column × phrase
  std::vector<Instance> instances;      // ordered by column, then offset
  std::vector<Instance> merged;         // scratch for merging the phrases' instances
  std::vector<double> phraseFrequency;  // per phrase: weighted and normalised over every field
  std::vector<double> groupFrequency;   // per group: its phrases' frequencies, weighted
  std::vector<double> groupIdf;         // per group: the lowest idf of its phrases that occur
  std::vector<uint8_t> covered;         // scratch: name positions or groups seen
};

// Which instances a caller reads: every one, or every one when the query has two word groups or
// more (what proximity needs) and else the title's. Instances are the costly part of a row on
// long pages.
enum class Need { kAllInstances, kInstancesForGroups };

// Reads the current row into the query's state (made on the query's first row): the weights
// (`weights` argument), the instances `need` asks for, the lengths, and each group's frequency
// and idf, with the row's link evidence from `evidence` when given. `state` is null only on
// failure.
int ReadRow(const Fts5ExtensionApi* api, Fts5Context* fts, sqlite3_value* weights,
            const RankParams& params, const Evidence* evidence, Need need, RowState*& state);

}  // namespace dizode::query
