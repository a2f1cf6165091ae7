#include "query/help_rank.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "fts5_api.h"
#include "query/help_rank_weights.h"

namespace dizode::query {
namespace {

// One instance of a scored phrase in the current row, for the proximity check.
struct Instance {
  int column;
  int offset;
  int64_t group;
};

// What help_rank keeps for the length of one MATCH query: the parsed weight list, the
// collection statistics, and buffers reused from row to row so scoring a row allocates nothing.
struct QueryState {
  int phraseCount = 0;
  int columnCount = 0;
  sqlite3_int64 rowCount = 0;
  std::vector<double> averageLength;  // per column, 0 when the column holds no token at all

  bool weightsParsed = false;
  std::string weightsText;  // the list `phrases` was parsed from
  std::vector<RankWeight> phrases;
  std::vector<double> idf;  // per phrase, negative until counted (weight-0 phrases never are)

  bool severalGroups = false;      // scored phrases of two word groups or more
  std::vector<int> termFrequency;  // column × phrase count of the current row
  std::vector<Instance> instances;
  bool anyInstance = false;
};

void DeleteState(void* state) { delete static_cast<QueryState*>(state); }
void DeleteParams(void* params) { delete static_cast<RankParams*>(params); }

int InitState(const Fts5ExtensionApi* api, Fts5Context* fts, QueryState& state) {
  state.phraseCount = std::max(0, api->xPhraseCount(fts));
  state.columnCount = std::max(0, api->xColumnCount(fts));
  int rc = api->xRowCount(fts, &state.rowCount);
  state.averageLength.assign(state.columnCount, 0.0);
  for (int c = 0; rc == SQLITE_OK && c < state.columnCount; ++c) {
    sqlite3_int64 total = 0;
    rc = api->xColumnTotalSize(fts, c, &total);
    if (state.rowCount > 0) {
      state.averageLength[c] = static_cast<double>(total) / static_cast<double>(state.rowCount);
    }
  }
  state.idf.assign(state.phraseCount, -1.0);
  state.termFrequency.assign(static_cast<size_t>(state.phraseCount) * state.columnCount, 0);
  return rc;
}

// The query's state, made on the first row of the query and kept as FTS5 auxiliary data.
int GetState(const Fts5ExtensionApi* api, Fts5Context* fts, QueryState*& out) {
  out = static_cast<QueryState*>(api->xGetAuxdata(fts, 0));
  if (out) {
    return SQLITE_OK;
  }
  auto fresh = std::make_unique<QueryState>();
  const int rc = InitState(api, fts, *fresh);
  if (rc != SQLITE_OK) {
    return rc;
  }
  // FTS5 deletes the pointer itself when it cannot keep it.
  QueryState* kept = fresh.release();
  if (const int set = api->xSetAuxdata(fts, kept, DeleteState); set != SQLITE_OK) {
    return set;
  }
  out = kept;
  return SQLITE_OK;
}

// Reads the weight list argument, reparsing only when it differs from the previous row's.
int UpdateWeights(sqlite3_value* list, QueryState& state) {
  std::string_view text;
  if (list && sqlite3_value_type(list) != SQLITE_NULL) {
    const auto* bytes = sqlite3_value_text(list);
    if (!bytes) {
      return SQLITE_NOMEM;
    }
    text = {reinterpret_cast<const char*>(bytes), static_cast<size_t>(sqlite3_value_bytes(list))};
  }
  if (state.weightsParsed && text == state.weightsText) {
    return SQLITE_OK;
  }
  state.weightsText.assign(text);
  state.phrases = ParseRankWeights(text, state.phraseCount);
  state.weightsParsed = true;
  state.severalGroups = false;
  const RankWeight* first = nullptr;
  for (const RankWeight& phrase : state.phrases) {
    if (!(phrase.weight > 0)) {
      continue;
    }
    if (first == nullptr) {
      first = &phrase;
    } else if (phrase.group != first->group) {
      state.severalGroups = true;
    }
  }
  return SQLITE_OK;
}

int CountRow(const Fts5ExtensionApi*, Fts5Context*, void* count) {
  ++*static_cast<int64_t*>(count);
  return SQLITE_OK;
}

// ln(1 + (N - n + 0.5) / (n + 0.5)), never below the floor; n is counted once per query.
int PhraseIdf(const Fts5ExtensionApi* api, Fts5Context* fts, const RankParams& params, int phrase,
              QueryState& state, double& out) {
  double& idf = state.idf[phrase];
  if (idf < 0) {
    int64_t rows = 0;
    if (const int rc = api->xQueryPhrase(fts, phrase, &rows, CountRow); rc != SQLITE_OK) {
      return rc;
    }
    const double n = static_cast<double>(rows);
    const double total = static_cast<double>(state.rowCount);
    idf = std::max(params.idfFloor, std::log(1.0 + (total - n + 0.5) / (n + 0.5)));
  }
  out = idf;
  return SQLITE_OK;
}

// Collects the row's instances of scored phrases: per-column term frequencies and, when the
// query has more than one word group (only then can the proximity bonus apply), the instances
// themselves ordered by column and offset. Each phrase's own position list is walked: that is
// cheaper than FTS5's merged instance list, which it would build for every row.
int CollectInstances(const Fts5ExtensionApi* api, Fts5Context* fts, QueryState& state) {
  std::fill(state.termFrequency.begin(), state.termFrequency.end(), 0);
  state.instances.clear();
  state.anyInstance = false;
  for (int p = 0; p < state.phraseCount; ++p) {
    if (!(state.phrases[p].weight > 0)) {
      continue;
    }
    Fts5PhraseIter iterator;
    int column = -1;
    int offset = 0;
    if (const int rc = api->xPhraseFirst(fts, p, &iterator, &column, &offset); rc != SQLITE_OK) {
      return rc;
    }
    for (; column >= 0; api->xPhraseNext(fts, &iterator, &column, &offset)) {
      if (column >= state.columnCount) {
        continue;
      }
      state.anyInstance = true;
      ++state.termFrequency[static_cast<size_t>(column) * state.phraseCount + p];
      if (state.severalGroups) {
        state.instances.push_back({column, offset, state.phrases[p].group});
      }
    }
  }
  const auto byPosition = [](const Instance& x, const Instance& y) {
    return x.column != y.column ? x.column < y.column : x.offset < y.offset;
  };
  std::sort(state.instances.begin(), state.instances.end(), byPosition);
  return SQLITE_OK;
}

// Whether instances of two different word groups start at most `window` tokens apart in one
// column. In position order it is enough to compare neighbours: between any such pair there are
// two neighbours of different groups that are no further apart.
bool GroupsNearby(const std::vector<Instance>& instances, int window) {
  for (size_t i = 1; i < instances.size(); ++i) {
    const Instance& before = instances[i - 1];
    const Instance& current = instances[i];
    if (before.column == current.column && before.group != current.group &&
        current.offset - before.offset <= window) {
      return true;
    }
  }
  return false;
}

std::string_view TextOf(sqlite3_value* value) {
  const auto* bytes = value ? sqlite3_value_text(value) : nullptr;
  return bytes ? std::string_view(reinterpret_cast<const char*>(bytes),
                                  static_cast<size_t>(sqlite3_value_bytes(value)))
               : std::string_view();
}

int ScoreRow(const Fts5ExtensionApi* api, Fts5Context* fts, int argc, sqlite3_value** argv,
             double& score) {
  score = 0;
  const auto& params = *static_cast<const RankParams*>(api->xUserData(fts));
  QueryState* state = nullptr;
  int rc = GetState(api, fts, state);
  if (rc == SQLITE_OK) {
    rc = UpdateWeights(argc > 0 ? argv[0] : nullptr, *state);
  }
  if (rc == SQLITE_OK) {
    rc = CollectInstances(api, fts, *state);
  }
  if (rc != SQLITE_OK || !state->anyInstance) {
    return rc;
  }
  for (int c = 0; c < state->columnCount; ++c) {
    const int param = std::min(c, 2);
    const int* frequencies = &state->termFrequency[static_cast<size_t>(c) * state->phraseCount];
    double lengthNorm = -1;  // 1 - b + b × len / avglen, computed on the column's first hit
    for (int p = 0; p < state->phraseCount; ++p) {
      if (frequencies[p] == 0) {
        continue;
      }
      if (lengthNorm < 0) {
        int length = 0;
        if ((rc = api->xColumnSize(fts, c, &length)) != SQLITE_OK) {
          return rc;
        }
        const double average = state->averageLength[c];
        const double ratio = average > 0 ? length / average : 1.0;
        lengthNorm = 1.0 - params.b[param] + params.b[param] * ratio;
      }
      double idf = 0;
      if ((rc = PhraseIdf(api, fts, params, p, *state, idf)) != SQLITE_OK) {
        return rc;
      }
      const double tf = frequencies[p];
      score += state->phrases[p].weight * idf * params.columnWeight[param] * tf *
               (params.k1 + 1.0) / (tf + params.k1 * lengthNorm);
    }
  }
  if (GroupsNearby(state->instances, params.proximityWindow)) {
    score *= params.proximityBonus;
  }
  const std::string_view queryKey = argc > 2 ? TextOf(argv[2]) : std::string_view();
  if (!queryKey.empty() && TextOf(argc > 1 ? argv[1] : nullptr) == queryKey) {
    score *= params.exactTitleBonus;
  }
  return SQLITE_OK;
}

void HelpRank(const Fts5ExtensionApi* api, Fts5Context* fts, sqlite3_context* context, int argc,
              sqlite3_value** argv) {
  try {
    double score = 0;
    if (const int rc = ScoreRow(api, fts, argc, argv, score); rc != SQLITE_OK) {
      sqlite3_result_error_code(context, rc);
      return;
    }
    sqlite3_result_double(context, score);
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(context);
  } catch (...) {
    sqlite3_result_error_code(context, SQLITE_ERROR);
  }
}

}  // namespace

int RegisterHelpRank(sqlite3* db, const RankParams& params) {
  fts5_api* fts5 = nullptr;
  if (int rc = GetFts5Api(db, &fts5)) {
    return rc;
  }
  auto* owned = new (std::nothrow) RankParams(params);
  if (!owned) {
    return SQLITE_NOMEM;
  }
  // On failure FTS5 does not call the destructor, so the copy is still ours to free.
  const int rc = fts5->xCreateFunction(fts5, "help_rank", owned, HelpRank, DeleteParams);
  if (rc != SQLITE_OK) {
    delete owned;
  }
  return rc;
}

}  // namespace dizode::query
