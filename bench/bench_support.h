// @brief Shared parts of the benchmarks: corpora on disk, the toolkit driven through its
// operations, and peak memory.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "dizode/dizode.h"

namespace bench {

// Corpora are prepared by bench/run.sh below this folder (DIZODE_BENCH_CORPORA).
inline std::string CorporaRoot() {
  const char* root = std::getenv("DIZODE_BENCH_CORPORA");
  return root && *root ? root : "bench/corpora";
}

inline std::string CorpusDir(const std::string& name) { return CorporaRoot() + "/" + name; }

// Every .htm/.html page below the corpus folder, sorted: the keys of a submission.
inline std::vector<std::string> CorpusPages(const std::string& name) {
  std::vector<std::string> pages;
  std::string dir = CorpusDir(name);
  if (!std::filesystem::is_directory(dir))
    throw std::runtime_error("missing corpus " + dir + " (run bench/run.sh)");
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
    std::string ext = entry.path().extension().string();
    if (entry.is_regular_file() && (ext == ".htm" || ext == ".html"))
      pages.push_back(entry.path().string());
  }
  std::sort(pages.begin(), pages.end());
  return pages;
}

using dizode::MakeRecord;

inline void Check(int32_t status, const char* what) {
  if (status != TK_OK) throw std::runtime_error(std::string(what) + ": " + TkStatusText(status));
}

// A session with one collection, opened or created, closed on destruction.
class Collection {
 public:
  Collection(const std::string& path, int mode) {
    auto session = MakeRecord<TkSessionArgs>();
    session.commonDir = "";
    Check(TkOpenSession(&m_session, &session), "open session");
    auto args = MakeRecord<TkCollectionArgs>();
    args.path = path.c_str();
    args.styleDir = "";
    args.createParam = TK_CREATE_PARAM;
    args.mode = static_cast<uint16_t>(mode);
    Check(TkOpenCollection(m_session, &m_collection, &args), "open collection");
  }
  ~Collection() {
    TkCloseCollection(m_collection);
    TkCloseSession(m_session);
  }

  void Submit(uint32_t operation, const std::vector<std::string>& keys) {
    std::vector<char*> pointers;
    for (const std::string& key : keys) pointers.push_back(const_cast<char*>(key.c_str()));
    auto args = MakeRecord<TkSubmitArgs>();
    args.operation = operation;
    args.count = static_cast<int32_t>(keys.size());
    args.keys = pointers.data();
    args.param16 = TK_SUBMIT_PARAM16;
    Check(TkSubmit(m_collection, &args), "submit");
  }

  // Request code 11 and the release of its reply.
  void Refresh() {
    auto request = MakeRecord<TkCollectionRequestArgs>();
    request.request = TK_REQUEST_REFRESH;
    TkCollectionReply reply = 0;
    TkQueryCollection(m_collection, &request, &reply);
    TkFreeCollectionReply(reply);
  }

  // The component's search sequence: refresh request, search, information, one batch.
  int32_t Search(const char* query, uint16_t fields = 3) {
    Refresh();
    auto args = MakeRecord<TkSearchArgs>();
    args.query = query;
    args.param48 = TK_SEARCH_PARAM48;
    TkSearchHandle search = 0;
    Check(TkSearch(m_session, &search, &args), "search");
    auto infoArgs = MakeRecord<TkSearchInfoArgs>();
    TkSearchInfo* info = nullptr;
    Check(TkGetSearchInfo(search, &infoArgs, &info), "search info");
    static const char* const kAll[] = {"SCORE", "VdkVgwKey", "Title"};
    static const char* const kKey[] = {"VdkVgwKey"};
    auto batchArgs = MakeRecord<TkDocBatchArgs>();
    batchArgs.search = search;
    batchArgs.count = info->documentCount;
    batchArgs.fieldCount = fields;
    batchArgs.fieldNames = fields == 1 ? kKey : kAll;
    TkDocBatch* batch = nullptr;
    Check(TkReadDocBatch(m_session, &batchArgs, &batch), "read batch");
    int32_t count = batch->documentCount;
    TkFreeDocBatch(batch);
    TkFreeSearchInfo(info);
    TkFreeSearch(search);
    return count;
  }

 private:
  TkSession m_session = 0;
  TkCollection m_collection = 0;
};

// The process's peak resident set (the kernel's high-water mark), in MiB.
inline double PeakMemoryMiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  return 0;
}

}  // namespace bench
