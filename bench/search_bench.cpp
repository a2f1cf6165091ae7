// @brief In-process search latency on the 10,000-page collection: the engine's full search
// sequence (query language, ranking, score text, batch) against FTS5's own BM25 over the same
// rows, reading the same three fields.
#include <chrono>
#include <ctime>
#include <optional>

#include "bench_support.h"
#include "query/query.h"
#include "sqlite_db.h"
#include "store.h"

namespace {

using bench::Collection;

// Queries a person types into a help search box for these manuals.
const char* const kQueries[] = {
    "print",
    "create table",
    "foreign key",
    "string format",
    "regular expression",
    "transaction isolation",
    "json",
    "timezone",
    "install",
    "error handling",
    "list comprehension",
    "vacuum",
    "join",
    "unicode",
    "thread",
    "socket",
    "backup restore",
    "configuration file",
    "decorator",
    "index",
};

// Prefix queries of two to five letters: the lengths a prefix index would serve and longer ones.
const char* const kPrefixQueries[] = {"pr*",   "js*",    "tra*",  "con*", "inst*",
                                      "erro*", "threa*", "unic*", "co*",  "ba*"};

const std::string& SearchCollection() {
  static const std::string dir = [] {
    std::string path = bench::CorporaRoot() + "/scratch/search-mixed10k";
    std::filesystem::create_directories(bench::CorporaRoot() + "/scratch");
    Collection collection(path, TK_COLLECTION_CREATE);
    collection.Submit(TK_SUBMIT_ADD, bench::CorpusPages("mixed10k"));
    return path;
  }();
  return dir;
}

// Runs every query once per iteration, timing each on its own so that the median and the
// 95th percentile are over single queries: wall-clock, and the process's CPU time (which stays
// comparable when other work shares the machine).
template <typename Queries, typename RunQuery>
void MeasureQueries(benchmark::State& state, const Queries& queries, RunQuery&& run) {
  std::vector<double> wall, cpu;
  int64_t hits = 0;
  for (auto _ : state) {
    for (const auto& query : queries) {
      auto start = std::chrono::steady_clock::now();
      std::clock_t startCpu = std::clock();
      hits += run(query);
      cpu.push_back(1e6 * static_cast<double>(std::clock() - startCpu) / CLOCKS_PER_SEC);
      wall.push_back(
          std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
              .count());
    }
  }
  for (auto* samples : {&wall, &cpu}) std::sort(samples->begin(), samples->end());
  state.counters["p50_us"] = wall[wall.size() / 2];
  state.counters["p95_us"] = wall[wall.size() * 95 / 100];
  state.counters["p50_cpu_us"] = cpu[cpu.size() / 2];
  state.counters["p95_cpu_us"] = cpu[cpu.size() * 95 / 100];
  state.counters["hits_per_query"] = static_cast<double>(hits) / static_cast<double>(wall.size());
}

void BM_EngineSearch(benchmark::State& state) {
  Collection collection(SearchCollection(), TK_COLLECTION_OPEN);
  MeasureQueries(state, kQueries, [&](const char* query) { return collection.Search(query); });
}

void BM_EnginePrefixSearch(benchmark::State& state) {
  Collection collection(SearchCollection(), TK_COLLECTION_OPEN);
  MeasureQueries(state, kPrefixQueries,
                 [&](const char* query) { return collection.Search(query); });
}

// The MATCH text the engine compiles a query into, or nothing when its plan is more than one
// MATCH (the engine then ranks rows that no single MATCH yields).
std::optional<std::string> EngineMatch(dizode::Store& store, const char* query) {
  dizode::query::Options options;
  options.stemLanguage = store.language();
  dizode::query::Plan plan = dizode::query::Compile(query, store.db().get(), options);
  const std::string& sql = plan.statement.sql;
  if (plan.error || plan.matchesNothing || sql.rfind("SELECT p.key", 0) != 0 ||
      sql.find(" MATCH ") != sql.rfind(" MATCH ") || sql.find("fts MATCH ?1") == std::string::npos)
    return std::nullopt;
  return plan.statement.params[0];
}

// FTS5's own bm25() over the rows the engine ranks: the engine's MATCH text on the engine's
// index, reading the same fields, so the ratio is the price of the engine's ranking and calls.
void BM_RawFts5Search(benchmark::State& state) {
  auto store = dizode::Store::Open(SearchCollection());
  std::vector<std::string> matches;
  for (const char* query : kQueries)
    if (auto match = EngineMatch(*store, query)) matches.push_back(std::move(*match));
  dizode::Stmt stmt(store->db().get(),
                    "SELECT p.key, p.title, bm25(fts, 5.0, 2.0, 1.0) FROM fts "
                    "JOIN pages p ON p.id = fts.rowid WHERE fts MATCH ?1 ORDER BY rank");
  MeasureQueries(state, matches, [&](const std::string& match) {
    std::vector<std::string> rows;
    stmt.Bind(1, match);
    while (stmt.Step()) {
      rows.push_back(stmt.Text(0));
      rows.push_back(stmt.Text(1));
      rows.push_back(std::to_string(sqlite3_column_double(stmt.get(), 2)));
    }
    stmt.Reset();
    return static_cast<int64_t>(rows.size() / 3);
  });
  state.counters["queries"] = static_cast<double>(matches.size());
}

// The refresh request the component sends before every search: must stay far below a search.
void BM_RefreshRequest(benchmark::State& state) {
  Collection collection(SearchCollection(), TK_COLLECTION_OPEN);
  std::vector<double> micros;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    collection.Refresh();
    micros.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(micros.begin(), micros.end());
  state.counters["p50_us"] = micros[micros.size() / 2];
  state.counters["max_us"] = micros.back();
}

BENCHMARK(BM_EngineSearch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnginePrefixSearch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RefreshRequest)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawFts5Search)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
