// @brief In-process search latency on the 10,000-page collection: the engine's full search
// sequence (query language, ranking, score text, batch) against the same words as a raw FTS5
// MATCH with BM25, reading the same three fields.
#include <chrono>
#include <ctime>
#include <sstream>

#include "bench_support.h"
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
template <typename RunQuery>
void MeasureQueries(benchmark::State& state, RunQuery&& run) {
  std::vector<double> wall, cpu;
  int64_t hits = 0;
  for (auto _ : state) {
    for (const char* query : kQueries) {
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
  MeasureQueries(state, [&](const char* query) { return collection.Search(query); });
}

std::string RawMatch(const char* query) {
  std::istringstream words(query);
  std::string word, match;
  while (words >> word) match += (match.empty() ? "\"" : " \"") + word + "\"";
  return match;
}

void BM_RawFts5Search(benchmark::State& state) {
  auto store = dizode::Store::Open(SearchCollection());
  dizode::Stmt stmt(store->db().get(),
                    "SELECT p.key, p.title, bm25(fts, 5.0, 2.0, 1.0) FROM fts "
                    "JOIN pages p ON p.id = fts.rowid WHERE fts MATCH ?1 ORDER BY rank");
  MeasureQueries(state, [&](const char* query) {
    std::vector<std::string> rows;
    stmt.Bind(1, RawMatch(query));
    while (stmt.Step()) {
      rows.push_back(stmt.Text(0));
      rows.push_back(stmt.Text(1));
      rows.push_back(std::to_string(stmt.Int(2)));
    }
    stmt.Reset();
    return static_cast<int64_t>(rows.size() / 3);
  });
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
BENCHMARK(BM_RefreshRequest)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawFts5Search)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
