// @brief The process-wide tables of sessions, collections, searches, replies and the live
// engine-owned records (search information, document batches).
//
// One mutex guards the tables; it is held only to look up, add or remove, never while a
// collection is read or written. Objects are shared so that a handle freed on one thread does
// not free an object another thread is still using. Each collection has its own mutex because
// its database connection serves one caller at a time.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "dizode/dizode.h"
#include "handles.h"
#include "last_error.h"
#include "progress.h"
#include "search.h"
#include "store.h"

namespace dizode {

struct Session {
  std::string commonDir;
  ProgressSink sink;
  std::vector<uint32_t> collections;  // open collections, the most recently opened last
  std::vector<uint32_t> searches;
  LastError lastError;  // what the session's latest operation left: its failure, or nothing
};

struct Collection {
  uint32_t session = 0;
  std::unique_ptr<Store> store;
  std::mutex mutex;
};

struct Search {
  uint32_t session = 0;
  SearchResult result;
};

struct Reply {
  int32_t count = 0;
};

// A document batch with the texts it points to.
struct BatchRecord {
  TkDocBatch batch{};
  std::vector<const char*> texts;
  std::string storage;
};

class Registry {
 public:
  static Registry& Instance();

  uint32_t AddSession(std::shared_ptr<Session> session);
  // Removes the session with its collections and searches; false for a bad handle.
  bool CloseSession(uint32_t handle);
  std::shared_ptr<Session> GetSession(uint32_t handle);

  uint32_t AddCollection(uint32_t session, std::shared_ptr<Collection> collection);
  bool CloseCollection(uint32_t handle);
  std::shared_ptr<Collection> GetCollection(uint32_t handle);
  // The collection most recently opened in the session and still open, or null.
  std::shared_ptr<Collection> CurrentCollection(uint32_t session);

  uint32_t AddSearch(uint32_t session, SearchResult result);
  bool FreeSearch(uint32_t handle);
  std::shared_ptr<Search> GetSearch(uint32_t handle);

  uint32_t AddReply(int32_t count);
  bool FreeReply(uint32_t handle);
  std::shared_ptr<Reply> GetReply(uint32_t handle);

  TkSearchInfo* AddInfo(std::unique_ptr<TkSearchInfo> info);
  bool FreeInfo(const TkSearchInfo* info);
  TkDocBatch* AddBatch(std::unique_ptr<BatchRecord> batch);
  bool FreeBatch(const TkDocBatch* batch);

 private:
  Registry() = default;

  std::mutex m_mutex;
  HandleTable<Session> m_sessions{HandleKind::kSession};
  HandleTable<Collection> m_collections{HandleKind::kCollection};
  HandleTable<Search> m_searches{HandleKind::kSearch};
  HandleTable<Reply> m_replies{HandleKind::kReply};
  std::unordered_map<const void*, std::unique_ptr<TkSearchInfo>> m_infos;
  std::unordered_map<const void*, std::unique_ptr<BatchRecord>> m_batches;
};

}  // namespace dizode
