// @brief The kill test's checker: opens a collection the way a host does, runs SQLite's and
// FTS5's integrity checks on it, and prints what a fixed set of queries answers, in a form that
// two collections of the same pages print identically.
//
//   kill_test_check COLLECTION_FOLDER HELP_FOLDER QUERIES_FILE
//
// Keys are printed relative to HELP_FOLDER, so that a collection built in another application
// folder from a copy of the same pages prints the same text. Hits are printed in score order,
// pages of equal score by key: two builds may number their pages differently.
// Exit status: 0 the answers are printed; 3 there is no collection; 2 the collection does not
// open, fails an integrity check or fails a query (the reason on standard error).
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <tuple>
#include <vector>

#include "dizode/dizode.h"
#include "status.h"
#include "store.h"

namespace {

constexpr int kNoCollection = 3;
constexpr int kBroken = 2;

struct Hit {
  double score;
  std::string key, title;
};

int Broken(const std::string& what) {
  std::cerr << "kill_test_check: " << what << "\n";
  return kBroken;
}

std::string StatusLine(const char* what, int32_t status) {
  return std::string(what) + ": " + std::to_string(status) + " " + TkStatusText(status);
}

// SQLite's own check of the file, then FTS5's check of its index against the stored text; on
// success `listing` holds every page. The pages are read straight from their table: the
// engine's listing would first re-index the pages whose files changed, and the checker must
// leave the collection as it found it.
std::string IntegrityFailure(const std::string& folder, std::vector<Hit>& listing) {
  try {
    auto store = dizode::Store::Open(folder);
    dizode::Stmt check(store->db().get(), "PRAGMA integrity_check");
    while (check.Step()) {
      if (check.Text(0) != "ok") return "integrity_check: " + check.Text(0);
    }
    store->db().Exec("INSERT INTO fts(fts) VALUES('integrity-check')", "integrity-check");
    dizode::Stmt pages(store->db().get(), "SELECT key, title FROM pages");
    while (pages.Step()) listing.push_back({0.0, pages.Text(0), pages.Text(1)});
    return {};
  } catch (const dizode::StatusError& error) {
    return error.what();
  }
}

int32_t RunQuery(TkSession session, const char* query, std::vector<Hit>& hits) {
  auto args = dizode::MakeRecord<TkSearchArgs>();
  args.query = query;
  args.param48 = TK_SEARCH_PARAM48;
  TkSearchHandle search = 0;
  if (int32_t status = TkSearch(session, &search, &args)) return status;
  auto infoArgs = dizode::MakeRecord<TkSearchInfoArgs>();
  TkSearchInfo* info = nullptr;
  int32_t status = TkGetSearchInfo(search, &infoArgs, &info);
  if (status == TK_OK) {
    const char* names[] = {"SCORE", "VdkVgwKey", "Title"};
    auto batchArgs = dizode::MakeRecord<TkDocBatchArgs>();
    batchArgs.search = search;
    batchArgs.count = info->documentCount;
    batchArgs.fieldCount = 3;
    batchArgs.fieldNames = names;
    TkDocBatch* batch = nullptr;
    status = TkReadDocBatch(session, &batchArgs, &batch);
    if (status == TK_OK) {
      for (int32_t i = 0; i < batch->documentCount; ++i) {
        const char* const* row = batch->texts + i * 3;
        hits.push_back({std::stod(row[0]), row[1], row[2]});
      }
      TkFreeDocBatch(batch);
    }
    TkFreeSearchInfo(info);
  }
  TkFreeSearch(search);
  return status;
}

void PrintAnswer(const std::string& query, std::vector<Hit> hits, const std::string& helpFolder) {
  std::sort(hits.begin(), hits.end(), [](const Hit& a, const Hit& b) {
    return std::tie(b.score, a.key) < std::tie(a.score, b.key);
  });
  std::cout << "query " << query << " -> " << hits.size() << "\n";
  for (const Hit& hit : hits) {
    std::string key = hit.key;
    if (key.rfind(helpFolder, 0) == 0) key.erase(0, helpFolder.size());
    char score[32];
    std::snprintf(score, sizeof score, "%.6g", hit.score);
    std::cout << "  " << score << " " << key << " | " << hit.title << "\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: kill_test_check COLLECTION_FOLDER HELP_FOLDER QUERIES_FILE\n";
    return 64;
  }
  const std::string folder = argv[1], helpFolder = argv[2];
  std::vector<std::string> queries;
  std::ifstream list(argv[3]);
  for (std::string line; std::getline(list, line);) {
    if (!line.empty()) queries.push_back(line);
  }

  auto sessionArgs = dizode::MakeRecord<TkSessionArgs>();
  sessionArgs.commonDir = "";
  TkSession session = 0;
  if (int32_t status = TkOpenSession(&session, &sessionArgs)) {
    return Broken(StatusLine("open session", status));
  }
  auto collectionArgs = dizode::MakeRecord<TkCollectionArgs>();
  collectionArgs.path = folder.c_str();
  collectionArgs.styleDir = "";
  collectionArgs.mode = TK_COLLECTION_OPEN;
  TkCollection collection = 0;
  int32_t status = TkOpenCollection(session, &collection, &collectionArgs);
  if (status == TK_E_NO_COLLECTION) {
    std::cout << "no collection\n";
    return kNoCollection;
  }
  if (status != TK_OK) return Broken(StatusLine("open collection", status));

  int result = 0;
  std::vector<Hit> listing;
  if (std::string failure = IntegrityFailure(folder, listing); !failure.empty()) {
    result = Broken(failure);
  } else {
    PrintAnswer("(listing)", std::move(listing), helpFolder);
  }
  for (const std::string& query : queries) {
    if (result != 0) break;
    std::vector<Hit> hits;
    if (int32_t failed = RunQuery(session, query.c_str(), hits)) {
      result = Broken(StatusLine(query.c_str(), failed));
    } else {
      PrintAnswer(query, std::move(hits), helpFolder);
    }
  }
  TkCloseCollection(collection);
  TkCloseSession(session);
  return result;
}
