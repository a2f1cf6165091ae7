// @brief Cold indexing of real help corpora through the operations, against its two floors:
// reading the corpus's bytes, and raw FTS5 insertion of text extracted beforehand; the size of
// the index it leaves. Also the update paths on the 10,000-page corpus: the no-change listing
// and a 1 % change.
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "bench_support.h"
#include "html_text.h"
#include "indexer.h"
#include "page_file.h"
#include "sqlite_db.h"
#include "store.h"
#include "text/analysis.h"
#include "text/document_tokens.h"
#include "text/stemmer.h"

namespace {

namespace fs = std::filesystem;
using bench::Collection;
using bench::CorpusPages;

const char* const kCorpora[] = {"pg", "py", "mixed10k"};

std::string WorkDir(const std::string& name) {
  std::string dir = bench::CorporaRoot() + "/scratch/" + name;
  fs::create_directories(fs::path(dir).parent_path());
  return dir;
}

void BM_ReadBytes(benchmark::State& state) {
  std::vector<std::string> pages = CorpusPages(kCorpora[state.range(0)]);
  size_t bytes = 0;
  while (state.KeepRunning()) {
    bytes = 0;
    for (const std::string& page : pages)
      bytes += dizode::ReadPageFile(page, dizode::kMaxInputBytes).bytes.size();
  }
  state.counters["pages"] = static_cast<double>(pages.size());
  state.counters["MiB"] = static_cast<double>(bytes) / (1 << 20);
}

// The raw floor: the tables of a collection with FTS5's own porter and unicode61 tokenizers, as
// the engine had them before it tokenized with helptok, written through a plain connection
// with the engine's journal settings. Its meaning must not follow the engine's schema.
constexpr const char* kRawSchema = R"sql(
PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;
CREATE TABLE pages(id INTEGER PRIMARY KEY, key TEXT NOT NULL UNIQUE, title TEXT NOT NULL,
  titlekey TEXT NOT NULL, size INTEGER, mtime INTEGER, hash BLOB, charset TEXT, lang TEXT);
CREATE VIRTUAL TABLE fts USING fts5(title, heads, body,
  tokenize = 'porter unicode61 remove_diacritics 2', prefix = '2 3');
)sql";

// A fresh database file in `folder`, its schema written by `schema` after `prepare` readied
// the connection.
dizode::Db CreateDatabase(const std::string& folder, void (*prepare)(sqlite3*),
                          const std::string& schema) {
  fs::create_directories(folder);
  const std::string path = dizode::DatabasePath(folder);
  for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path + suffix);
  sqlite3* raw = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  dizode::Db db(raw);
  if (rc != SQLITE_OK) throw std::runtime_error("open " + path + ": " + sqlite3_errstr(rc));
  if (prepare != nullptr) prepare(db.get());
  db.Exec(schema.c_str(), "schema");
  return db;
}

dizode::Db CreateRawDatabase(const std::string& folder) {
  return CreateDatabase(folder, nullptr, kRawSchema);
}

// The engine's own tables and tokenizer, written without the engine: what FTS5 costs for the
// index the engine keeps, apart from extraction and the engine's bookkeeping.
dizode::Db CreateOwnSchemaDatabase(const std::string& folder) {
  return CreateDatabase(folder, dizode::PrepareConnection,
                        std::string("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;") +
                            dizode::SchemaSql("english"));
}

// Inserts text extracted beforehand, all pages in one transaction.
void InsertExtracted(benchmark::State& state, dizode::Db (*create)(const std::string&),
                     const char* name) {
  std::vector<std::string> pages = CorpusPages(kCorpora[state.range(0)]);
  std::vector<dizode::PageText> texts;
  texts.reserve(pages.size());
  for (const std::string& page : pages)
    texts.push_back(dizode::ExtractHtml(dizode::ReadPageFile(page, dizode::kMaxInputBytes).bytes,
                                        dizode::FileNameOf(page)));
  std::string dir = WorkDir(std::string(name) + "-" + kCorpora[state.range(0)]);
  while (state.KeepRunning()) {
    dizode::Db db = create(dir);
    dizode::Transaction transaction(db);
    dizode::Stmt page(db.get(), "INSERT INTO pages(key, title, titlekey) VALUES(?1, ?2, ?3)");
    dizode::Stmt fts(db.get(), "INSERT INTO fts(rowid, title, heads, body) VALUES(?1,?2,?3,?4)");
    for (size_t i = 0; i < pages.size(); ++i) {
      page.Bind(1, pages[i]).Bind(2, texts[i].title).Bind(3, texts[i].title);
      page.Run();
      fts.Bind(1, sqlite3_last_insert_rowid(db.get())).Bind(2, texts[i].title);
      fts.Bind(3, texts[i].heads).Bind(4, texts[i].body);
      fts.Run();
    }
    transaction.Commit();
  }
  state.counters["pages"] = static_cast<double>(pages.size());
}

void BM_RawFts5Insert(benchmark::State& state) { InsertExtracted(state, CreateRawDatabase, "raw"); }

void BM_RawOwnSchemaInsert(benchmark::State& state) {
  InsertExtracted(state, CreateOwnSchemaDatabase, "own-schema");
}

// The engine's tokenizer alone on text extracted beforehand, each field as FTS5 hands it over.
// `digest` folds every token, its position flag and its source range into one number: equal
// digests on a corpus before and after a change of the tokenizer's code show the same output.
void BM_Tokenize(benchmark::State& state) {
  std::vector<std::string> pages = CorpusPages(kCorpora[state.range(0)]);
  std::vector<std::string> fields;
  for (const std::string& page : pages) {
    dizode::PageText text = dizode::ExtractHtml(
        dizode::ReadPageFile(page, dizode::kMaxInputBytes).bytes, dizode::FileNameOf(page));
    fields.insert(fields.end(), {text.title, text.heads, text.body});
  }
  uint32_t digest = 2166136261u;
  size_t tokens = 0;
  const auto fold = [&digest](uint32_t byte) { digest = (digest ^ byte) * 16777619u; };
  while (state.KeepRunning()) {
    digest = 2166136261u;
    tokens = 0;
    dizode::text::Stemmer stemmer("english");
    dizode::text::Analysis analysis;
    for (const std::string& field : fields) {
      analysis.Run(field);
      dizode::text::EmitDocumentTokens(
          analysis, &stemmer,
          [&](std::string_view token, bool colocated, dizode::text::Range range) {
            ++tokens;
            for (const char c : token) fold(static_cast<unsigned char>(c));
            for (const uint32_t value : {colocated ? 1u : 0u, range.begin, range.end}) {
              for (int shift = 0; shift < 32; shift += 8) fold((value >> shift) & 0xFFu);
            }
            return 0;
          });
    }
  }
  state.counters["tokens"] = static_cast<double>(tokens);
  state.counters["digest"] = static_cast<double>(digest);
}

// Bytes of a closed collection's database: closing checkpoints the write-ahead log into it, and
// whatever log is left still belongs to the index.
double DatabaseMiB(const std::string& folder) {
  uintmax_t bytes = 0;
  for (const char* suffix : {"", "-wal"}) {
    std::error_code error;
    uintmax_t size = fs::file_size(dizode::DatabasePath(folder) + suffix, error);
    if (!error) bytes += size;
  }
  return static_cast<double>(bytes) / (1 << 20);
}

void BM_ColdIndex(benchmark::State& state) {
  std::vector<std::string> pages = CorpusPages(kCorpora[state.range(0)]);
  std::string dir = WorkDir(std::string("cold-") + kCorpora[state.range(0)]);
  while (state.KeepRunning()) {
    Collection collection(dir, TK_COLLECTION_CREATE);
    collection.Submit(TK_SUBMIT_ADD, pages);
  }
  state.counters["pages"] = static_cast<double>(pages.size());
  state.counters["index_MiB"] = DatabaseMiB(dir);
  state.counters["maxrss_MiB"] = bench::PeakMemoryMiB();
}

// The 10,000-page collection that the update benchmarks start from, made once.
const std::string& UpdateCollection() {
  static const std::string dir = [] {
    std::string path = WorkDir("update-mixed10k");
    Collection collection(path, TK_COLLECTION_CREATE);
    collection.Submit(TK_SUBMIT_ADD, CorpusPages("mixed10k"));
    return path;
  }();
  return dir;
}

void BM_NoChangeListing(benchmark::State& state) {
  Collection collection(UpdateCollection(), TK_COLLECTION_OPEN);
  int32_t count = 0;
  while (state.KeepRunning()) count = collection.Search(nullptr, 1);
  state.counters["pages"] = count;
}

// A 1 % update: a third of the pages edited in place (seen by the listing's freshness check),
// a third added and a third removed (submitted by the caller after comparing with its scan).
void BM_OnePercentUpdate(benchmark::State& state) {
  const std::string& dir = UpdateCollection();
  std::vector<std::string> pages = CorpusPages("mixed10k");
  std::string addedDir = WorkDir("added");
  fs::create_directories(addedDir);
  Collection collection(dir, TK_COLLECTION_OPEN);
  size_t next = 0;
  const size_t share = pages.size() / 300;  // a third of 1 %
  int round = 0;
  while (state.KeepRunning()) {
    state.PauseTiming();
    std::vector<std::string> added, removed;
    for (size_t i = 0; i < share; ++i, ++next) {
      std::ofstream(pages[next % pages.size()], std::ios::app)
          << "<p>edited in round " << round << "</p>";
      std::string copy =
          addedDir + "/r" + std::to_string(round) + "_" + std::to_string(i) + ".html";
      fs::copy_file(pages[(next + 5000) % pages.size()], copy,
                    fs::copy_options::overwrite_existing);
      added.push_back(copy);
      removed.push_back(pages[(next + 2500) % pages.size()]);
    }
    ++round;
    state.ResumeTiming();
    collection.Search(nullptr, 1);
    collection.Submit(TK_SUBMIT_ADD, added);
    collection.Submit(TK_SUBMIT_DELETE, removed);
  }
  state.counters["changed_pages"] = static_cast<double>(share * 3);
}

// CPU time is the whole process's (extraction runs on worker threads), which stays comparable
// when other work shares the machine; wall-clock time is the figure the targets name.
BENCHMARK(BM_ReadBytes)->DenseRange(0, 2)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawFts5Insert)
    ->DenseRange(0, 2)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawOwnSchemaInsert)
    ->DenseRange(0, 2)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Tokenize)->DenseRange(0, 2)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColdIndex)->DenseRange(0, 2)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NoChangeListing)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OnePercentUpdate)
    ->Iterations(3)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
