#include "query/rank_row.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string_view>

namespace dizode::query {
namespace {

// Up to this many phrases, their instance lists are merged rather than sorted.
constexpr int kMergedPhrases = 8;

void DeleteState(void* state) { delete static_cast<RowState*>(state); }

int InitState(const Fts5ExtensionApi* api, Fts5Context* fts, RowState& state) {
  state.phraseCount = std::max(0, api->xPhraseCount(fts));
  state.columnCount = std::min(kOwnFields, std::max(0, api->xColumnCount(fts)));
  int rc = api->xRowCount(fts, &state.rowCount);
  for (int c = 0; rc == SQLITE_OK && c < state.columnCount; ++c) {
    sqlite3_int64 total = 0;
    rc = api->xColumnTotalSize(fts, c, &total);
    if (state.rowCount > 0) {
      state.averageLength[c] = static_cast<double>(total) / static_cast<double>(state.rowCount);
    }
  }
  state.idf.assign(state.phraseCount, -1.0);
  state.phraseSize.assign(state.phraseCount, 1);
  for (int p = 0; p < state.phraseCount; ++p) {
    state.phraseSize[p] = std::max(1, api->xPhraseSize(fts, p));
  }
  state.termFrequency.assign(static_cast<size_t>(state.phraseCount) * kOwnFields, 0);
  return rc;
}

// The query's state, made on the first row of the query and kept as FTS5 auxiliary data.
int GetState(const Fts5ExtensionApi* api, Fts5Context* fts, RowState*& out) {
  out = static_cast<RowState*>(api->xGetAuxdata(fts, 0));
  if (out) {
    return SQLITE_OK;
  }
  auto fresh = std::make_unique<RowState>();
  if (const int rc = InitState(api, fts, *fresh); rc != SQLITE_OK) {
    return rc;
  }
  // FTS5 deletes the pointer itself when it cannot keep it.
  RowState* kept = fresh.release();
  if (const int set = api->xSetAuxdata(fts, kept, DeleteState); set != SQLITE_OK) {
    return set;
  }
  out = kept;
  return SQLITE_OK;
}

// Reads the weight list argument, reparsing only when it differs from the previous row's, and
// numbers the word groups of the scored phrases from 0.
int UpdateWeights(sqlite3_value* list, RowState& state) {
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
  state.groupOf.assign(state.phraseCount, -1);
  std::vector<int64_t> seen;
  for (int p = 0; p < state.phraseCount; ++p) {
    if (!(state.phrases[p].weight > 0)) {
      continue;
    }
    const auto found = std::find(seen.begin(), seen.end(), state.phrases[p].group);
    state.groupOf[p] = static_cast<int>(found - seen.begin());
    if (found == seen.end()) {
      seen.push_back(state.phrases[p].group);
    }
  }
  state.groupCount = static_cast<int>(seen.size());
  return SQLITE_OK;
}

int CountRow(const Fts5ExtensionApi*, Fts5Context*, void* count) {
  ++*static_cast<int64_t*>(count);
  return SQLITE_OK;
}

// ln(1 + (N - n + 0.5) / (n + 0.5)), never below the floor; n is counted once per query.
int PhraseIdf(const Fts5ExtensionApi* api, Fts5Context* fts, const RankParams& params, int phrase,
              RowState& state, double& out) {
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

// Collects the row's instances of scored phrases, with per-column term frequencies; with
// `titleOnly`, only the title's instances are kept (the frequencies are all counted). Each
// phrase's own position list is walked: that is cheaper than FTS5's merged instance list, which
// it would build for every row.
int CollectInstances(const Fts5ExtensionApi* api, Fts5Context* fts, bool titleOnly,
                     RowState& state) {
  std::fill(state.termFrequency.begin(), state.termFrequency.end(), 0);
  state.instances.clear();
  const auto byPosition = [](const Instance& x, const Instance& y) {
    return x.column != y.column ? x.column < y.column : x.offset < y.offset;
  };
  // Each phrase lists its instances in position order: a few phrases are merged run by run,
  // many (a wildcard's expansion) sorted once at the end.
  const bool merge = state.phraseCount <= kMergedPhrases;
  for (int p = 0; p < state.phraseCount; ++p) {
    if (state.groupOf[p] < 0) {
      continue;
    }
    const size_t before = state.instances.size();
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
      ++state.termFrequency[static_cast<size_t>(column) * state.phraseCount + p];
      if (!titleOnly || column == 0) state.instances.push_back({column, offset, p});
    }
    if (merge && before > 0 && state.instances.size() > before) {
      state.merged.resize(state.instances.size());
      std::merge(state.instances.begin(), state.instances.begin() + before,
                 state.instances.begin() + before, state.instances.end(), state.merged.begin(),
                 byPosition);
      state.instances.swap(state.merged);
    }
  }
  if (!merge) std::sort(state.instances.begin(), state.instances.end(), byPosition);
  return SQLITE_OK;
}

// 1 - b + b × length / average: how much a field's length dampens its occurrences.
double LengthNorm(double b, double length, double average) {
  return 1.0 - b + b * (average > 0 ? length / average : 1.0);
}

// Each scored phrase's occurrences over the fields, weighted per field and normalised by each
// field's length, the links included.
int PhraseFrequencies(const Fts5ExtensionApi* api, Fts5Context* fts, const RankParams& params,
                      const Evidence* evidence, RowState& state) {
  std::vector<double>& frequency = state.phraseFrequency;
  frequency.assign(static_cast<size_t>(state.phraseCount), 0.0);
  for (int c = 0; c < state.columnCount; ++c) {
    if (const int rc = api->xColumnSize(fts, c, &state.length[c]); rc != SQLITE_OK) {
      return rc;
    }
    const double norm = LengthNorm(params.b[c], state.length[c], state.averageLength[c]);
    for (int p = 0; p < state.phraseCount; ++p) {
      const int tf = state.termFrequency[static_cast<size_t>(c) * state.phraseCount + p];
      if (tf > 0) {
        frequency[p] += params.fieldWeight[c] * tf / norm;
      }
    }
  }
  if (evidence == nullptr) {
    return SQLITE_OK;
  }
  const auto row = evidence->rows.find(api->xRowid(fts));
  if (row == evidence->rows.end()) {
    return SQLITE_OK;
  }
  const double norm =
      LengthNorm(params.b[kLinksField], row->second.length, evidence->averageLength);
  for (uint32_t i = 0; i < row->second.hitCount; ++i) {
    const EvidenceHit& hit = evidence->hits[row->second.firstHit + i];
    if (hit.phrase >= 0 && hit.phrase < state.phraseCount && state.groupOf[hit.phrase] >= 0) {
      frequency[hit.phrase] += params.fieldWeight[kLinksField] * hit.frequency / norm;
    }
  }
  return SQLITE_OK;
}

// Adds the phrases' frequencies into their word groups, and gives each group the lowest idf of
// its phrases that occur: a word's alternatives (the word, its stem) name one thing, and a page
// that holds only the common form is as much about it as one that holds the rare one.
int GroupFrequencies(const Fts5ExtensionApi* api, Fts5Context* fts, const RankParams& params,
                     RowState& state) {
  state.groupFrequency.assign(static_cast<size_t>(state.groupCount), 0.0);
  state.groupIdf.assign(static_cast<size_t>(state.groupCount), 0.0);
  for (int p = 0; p < state.phraseCount; ++p) {
    if (!(state.phraseFrequency[p] > 0)) {
      continue;
    }
    double idf = 0;
    if (const int rc = PhraseIdf(api, fts, params, p, state, idf); rc != SQLITE_OK) {
      return rc;
    }
    const int group = state.groupOf[p];
    double& lowest = state.groupIdf[group];
    lowest = state.groupFrequency[group] > 0 ? std::min(lowest, idf) : idf;
    state.groupFrequency[group] += state.phrases[p].weight * state.phraseFrequency[p];
  }
  return SQLITE_OK;
}

}  // namespace

int ReadRow(const Fts5ExtensionApi* api, Fts5Context* fts, sqlite3_value* weights,
            const RankParams& params, const Evidence* evidence, Need need, RowState*& state) {
  int rc = GetState(api, fts, state);
  if (rc == SQLITE_OK) rc = UpdateWeights(weights, *state);
  if (rc == SQLITE_OK) {
    const bool titleOnly = need == Need::kInstancesForGroups && state->groupCount < 2;
    rc = CollectInstances(api, fts, titleOnly, *state);
  }
  if (rc == SQLITE_OK) rc = PhraseFrequencies(api, fts, params, evidence, *state);
  if (rc == SQLITE_OK) rc = GroupFrequencies(api, fts, params, *state);
  if (rc != SQLITE_OK) state = nullptr;
  return rc;
}

}  // namespace dizode::query
