#include "query/help_rank.h"

#include <algorithm>
#include <new>
#include <string_view>
#include <vector>

#include "query/rank_evidence.h"
#include "query/rank_row.h"
#include "query/rank_sections.h"
#include "section_bounds.h"
#include "title_names.h"

namespace dizode::query {
namespace {

void DeleteParams(void* params) { delete static_cast<RankParams*>(params); }

const RankParams& ParamsOf(const Fts5ExtensionApi* api, Fts5Context* fts) {
  return *static_cast<const RankParams*>(api->xUserData(fts));
}

sqlite3_value* Argument(int argc, sqlite3_value** argv, int index) {
  return index < argc ? argv[index] : nullptr;
}

int64_t IntegerOf(sqlite3_value* value) {
  return value && sqlite3_value_type(value) == SQLITE_INTEGER ? sqlite3_value_int64(value) : 0;
}

std::string_view BlobOf(sqlite3_value* value) {
  if (value == nullptr || sqlite3_value_type(value) != SQLITE_BLOB) return {};
  const void* bytes = sqlite3_value_blob(value);
  return bytes ? std::string_view(static_cast<const char*>(bytes),
                                  static_cast<size_t>(sqlite3_value_bytes(value)))
               : std::string_view();
}

// Whether instances of two different word groups start at most `window` tokens apart in one
// column. In position order it is enough to compare neighbours: between any such pair there are
// two neighbours of different groups that are no further apart.
bool GroupsNearby(const RowState& state, int window) {
  const std::vector<Instance>& instances = state.instances;
  for (size_t i = 1; i < instances.size(); ++i) {
    const Instance& before = instances[i - 1];
    const Instance& current = instances[i];
    if (before.column == current.column &&
        state.groupOf[before.phrase] != state.groupOf[current.phrase] &&
        current.offset - before.offset <= window) {
      return true;
    }
  }
  return false;
}

// Whether the page's name (its run of title positions) is the query: the query's phrases cover
// every position of it, and every word group of the query occurs there, in the query's order.
bool NameIsQuery(RowState& state, int64_t name) {
  int begin = 0;
  int length = 0;
  UnpackName(name, state.length[kTitleField], begin, length);
  if (length <= 0 || state.groupCount == 0) return false;
  // Name positions first, then groups, in one scratch buffer.
  state.covered.assign(static_cast<size_t>(length + state.groupCount), 0);
  const auto covered = state.covered.begin();
  const auto groups = covered + length;
  int lastGroup = 0;  // groups are numbered in the order the query names them
  for (const Instance& instance : state.instances) {
    if (instance.column != kTitleField) break;  // title instances come first, by offset
    const int from = std::max(instance.offset, begin);
    const int to = std::min(instance.offset + state.phraseSize[instance.phrase], begin + length);
    if (from >= to) continue;
    const int group = state.groupOf[instance.phrase];
    if (group < lastGroup) return false;
    lastGroup = group;
    groups[group] = 1;
    std::fill(covered + (from - begin), covered + (to - begin), 1);
  }
  return std::find(state.covered.begin(), state.covered.end(), 0) == state.covered.end();
}

double Score(const RankParams& params, RowState& state, int64_t name) {
  double score = 0;
  for (int g = 0; g < state.groupCount; ++g) {
    const double tf = state.groupFrequency[g];
    if (tf > 0) score += state.groupIdf[g] * tf * (params.k1 + 1.0) / (tf + params.k1);
  }
  if (NameIsQuery(state, name)) score *= params.exactNameBonus;
  if (state.groupCount > 1 && GroupsNearby(state, params.proximityWindow)) {
    score *= params.proximityBonus;
  }
  return score;
}

// Runs `body` for one row, turning failures into the function's SQL error.
template <typename Body>
void ForRow(sqlite3_context* context, Body&& body) {
  try {
    if (const int rc = body(); rc != SQLITE_OK) sqlite3_result_error_code(context, rc);
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(context);
  } catch (...) {
    sqlite3_result_error_code(context, SQLITE_ERROR);
  }
}

void HelpRank(const Fts5ExtensionApi* api, Fts5Context* fts, sqlite3_context* context, int argc,
              sqlite3_value** argv) {
  ForRow(context, [&] {
    const RankParams& params = ParamsOf(api, fts);
    sqlite3_value* pointer = Argument(argc, argv, 2);
    const auto* evidence =
        pointer ? static_cast<const Evidence*>(sqlite3_value_pointer(pointer, kEvidencePointer))
                : nullptr;
    RowState* state = nullptr;
    if (const int rc = ReadRow(api, fts, Argument(argc, argv, 0), params, evidence,
                               Need::kInstancesForGroups, state)) {
      return rc;
    }
    const double score = Score(params, *state, IntegerOf(Argument(argc, argv, 1)));
    sqlite3_result_double(context, score);
    return SQLITE_OK;
  });
}

void HelpSection(const Fts5ExtensionApi* api, Fts5Context* fts, sqlite3_context* context, int argc,
                 sqlite3_value** argv) {
  ForRow(context, [&] {
    const RankParams& params = ParamsOf(api, fts);
    RowState* state = nullptr;
    if (const int rc = ReadRow(api, fts, Argument(argc, argv, 0), params, nullptr,
                               Need::kAllInstances, state)) {
      return rc;
    }
    std::vector<SectionHit> hits;
    for (const Instance& instance : state->instances) {
      if (instance.column != kHeadsField && instance.column != kBodyField) continue;
      hits.push_back({static_cast<RankField>(instance.column),
                      static_cast<uint32_t>(instance.offset), state->groupOf[instance.phrase],
                      state->phrases[instance.phrase].weight});
    }
    const BestSection best =
        FindBestSection(DecodeSections(BlobOf(Argument(argc, argv, 1))),
                        static_cast<uint32_t>(std::max(0, state->length[kBodyField])), hits,
                        state->groupIdf, params);
    sqlite3_result_int64(context, static_cast<sqlite3_int64>(best.index));
    return SQLITE_OK;
  });
}

int Register(fts5_api* fts5, const char* name, fts5_extension_function function,
             const RankParams& params) {
  auto* owned = new (std::nothrow) RankParams(params);
  if (!owned) {
    return SQLITE_NOMEM;
  }
  // On failure FTS5 does not call the destructor, so the copy is still ours to free.
  const int rc = fts5->xCreateFunction(fts5, name, owned, function, DeleteParams);
  if (rc != SQLITE_OK) {
    delete owned;
  }
  return rc;
}

}  // namespace

int RegisterHelpRank(sqlite3* db, const RankParams& params) {
  fts5_api* fts5 = nullptr;
  if (int rc = GetFts5Api(db, &fts5)) {
    return rc;
  }
  if (int rc = Register(fts5, "help_rank", HelpRank, params)) {
    return rc;
  }
  if (int rc = Register(fts5, "help_section", HelpSection, params)) {
    return rc;
  }
  return RegisterHelpEvidence(db);
}

}  // namespace dizode::query
