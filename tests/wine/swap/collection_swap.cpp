// @brief CollectionSwap.exe: one process creates a collection over one that
// another process holds open, for the Wine end-to-end test. Windows will not
// replace a file that another process has open, so the creation must either
// take its place or fail with its reason and leave the old one whole.
//
//   CollectionSwap create <collection> <page>...  builds the collection from
//       the pages; prints "status <n>" and, on failure, "error <text>"
//   CollectionSwap hold <collection> <ready file> <release file>  opens the
//       collection and lists it, makes <ready file>, waits for <release file>,
//       then lists it again and refreshes
//   CollectionSwap list <collection>  lists the collection
//
// A listing prints one "key <document key>" line per page, or "status <n>".
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dizode/dizode.h"

namespace {

constexpr DWORD kPollMilliseconds = 50;
constexpr int kMaxPolls = 2400;  // two minutes

TkSession OpenSession() {
  TkSession session = 0;
  auto args = dizode::MakeRecord<TkSessionArgs>();
  args.commonDir = "";
  return TkOpenSession(&session, &args) == TK_OK ? session : 0;
}

// The session's last failure text, or "".
std::string LastError(TkSession session) {
  auto info = dizode::MakeRecord<TkErrorInfo>();
  if (TkGetLastError(session, &info) != TK_OK) return {};
  info.text[sizeof info.text - 1] = '\0';
  return info.text;
}

int32_t OpenCollection(TkSession session, const char* path, int mode, TkCollection& collection) {
  auto args = dizode::MakeRecord<TkCollectionArgs>();
  args.path = path;
  args.styleDir = "";
  args.createParam = mode == TK_COLLECTION_CREATE ? TK_CREATE_PARAM : 0;
  args.mode = static_cast<uint16_t>(mode);
  return TkOpenCollection(session, &collection, &args);
}

// Prints the keys of every page of the collection open in the session.
void List(TkSession session) {
  auto searchArgs = dizode::MakeRecord<TkSearchArgs>();
  searchArgs.param48 = TK_SEARCH_PARAM48;
  TkSearchHandle search = 0;
  int32_t status = TkSearch(session, &search, &searchArgs);
  TkSearchInfo* info = nullptr;
  auto infoArgs = dizode::MakeRecord<TkSearchInfoArgs>();
  if (status == TK_OK) status = TkGetSearchInfo(search, &infoArgs, &info);
  TkDocBatch* batch = nullptr;
  if (status == TK_OK) {
    const char* const fields[] = {"VdkVgwKey"};
    auto batchArgs = dizode::MakeRecord<TkDocBatchArgs>();
    batchArgs.search = search;
    batchArgs.count = info->documentCount;
    batchArgs.fieldCount = 1;
    batchArgs.fieldNames = fields;
    status = TkReadDocBatch(session, &batchArgs, &batch);
  }
  if (status == TK_OK) {
    for (int32_t i = 0; i < batch->documentCount; ++i) std::printf("key %s\n", batch->texts[i]);
  } else {
    std::printf("status %d\n", static_cast<int>(status));
  }
  if (batch) TkFreeDocBatch(batch);
  if (info) TkFreeSearchInfo(info);
  if (search) TkFreeSearch(search);
}

int Create(const char* path, char** pages, int count) {
  const TkSession session = OpenSession();
  TkCollection collection = 0;
  int32_t status = OpenCollection(session, path, TK_COLLECTION_CREATE, collection);
  if (status == TK_OK) {
    auto args = dizode::MakeRecord<TkSubmitArgs>();
    args.operation = TK_SUBMIT_ADD;
    args.count = count;
    args.keys = pages;
    args.param16 = TK_SUBMIT_PARAM16;
    status = TkSubmit(collection, &args);
  }
  std::printf("status %d\n", static_cast<int>(status));
  if (status != TK_OK) std::printf("error %s\n", LastError(session).c_str());
  TkCloseCollection(collection);
  TkCloseSession(session);
  return 0;
}

bool Exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

int Hold(const char* path, const char* ready, const char* release) {
  const TkSession session = OpenSession();
  TkCollection collection = 0;
  if (OpenCollection(session, path, TK_COLLECTION_OPEN, collection) != TK_OK) {
    std::printf("error %s\n", LastError(session).c_str());
    return 1;
  }
  List(session);
  std::fflush(stdout);
  if (FILE* file = std::fopen(ready, "w")) std::fclose(file);
  for (int poll = 0; poll < kMaxPolls && !Exists(release); ++poll) Sleep(kPollMilliseconds);
  std::printf("after\n");
  auto request = dizode::MakeRecord<TkCollectionRequestArgs>();
  request.request = TK_REQUEST_REFRESH;
  TkCollectionReply reply = 0;
  if (TkQueryCollection(collection, &request, &reply) == TK_OK) TkFreeCollectionReply(reply);
  List(session);
  TkCloseCollection(collection);
  TkCloseSession(session);
  return 0;
}

int ListOnly(const char* path) {
  const TkSession session = OpenSession();
  TkCollection collection = 0;
  const int32_t status = OpenCollection(session, path, TK_COLLECTION_OPEN, collection);
  if (status == TK_OK) {
    List(session);
  } else {
    std::printf("status %d\n", static_cast<int>(status));
  }
  TkCloseCollection(collection);
  TkCloseSession(session);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 2 ? argv[1] : "";
  if (mode == "create") return Create(argv[2], argv + 3, argc - 3);
  if (mode == "hold" && argc == 5) return Hold(argv[2], argv[3], argv[4]);
  if (mode == "list") return ListOnly(argv[2]);
  std::fprintf(stderr, "usage: CollectionSwap create|hold|list <collection> ...\n");
  return 2;
}
