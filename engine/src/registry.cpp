// @brief Handle bookkeeping shared by every exported operation.
#include "registry.h"

#include <algorithm>

namespace dizode {
namespace {

void Erase(std::vector<uint32_t>& list, uint32_t value) {
  list.erase(std::remove(list.begin(), list.end(), value), list.end());
}

}  // namespace

Registry& Registry::Instance() {
  static Registry registry;
  return registry;
}

uint32_t Registry::AddSession(std::shared_ptr<Session> session) {
  std::lock_guard lock(m_mutex);
  return m_sessions.Add(std::move(session));
}

bool Registry::CloseSession(uint32_t handle) {
  std::shared_ptr<Session> session;
  std::vector<std::shared_ptr<void>> released;  // destroyed after the lock is dropped
  {
    std::lock_guard lock(m_mutex);
    session = m_sessions.Remove(handle);
    if (!session) return false;
    for (uint32_t search : session->searches) released.push_back(m_searches.Remove(search));
    for (uint32_t collection : session->collections)
      released.push_back(m_collections.Remove(collection));
  }
  return true;
}

std::shared_ptr<Session> Registry::GetSession(uint32_t handle) {
  std::lock_guard lock(m_mutex);
  return m_sessions.Get(handle);
}

uint32_t Registry::AddCollection(uint32_t sessionHandle, std::shared_ptr<Collection> collection) {
  std::lock_guard lock(m_mutex);
  std::shared_ptr<Session> session = m_sessions.Get(sessionHandle);
  if (!session) return 0;
  collection->session = sessionHandle;
  uint32_t handle = m_collections.Add(std::move(collection));
  if (handle) session->collections.push_back(handle);
  return handle;
}

bool Registry::CloseCollection(uint32_t handle) {
  std::shared_ptr<Collection> collection;
  {
    std::lock_guard lock(m_mutex);
    collection = m_collections.Remove(handle);
    if (!collection) return false;
    if (std::shared_ptr<Session> session = m_sessions.Get(collection->session))
      Erase(session->collections, handle);
  }
  return true;  // the database closes when the last user lets go of `collection`
}

std::shared_ptr<Collection> Registry::GetCollection(uint32_t handle) {
  std::lock_guard lock(m_mutex);
  return m_collections.Get(handle);
}

std::shared_ptr<Collection> Registry::CurrentCollection(uint32_t sessionHandle) {
  std::lock_guard lock(m_mutex);
  std::shared_ptr<Session> session = m_sessions.Get(sessionHandle);
  if (!session || session->collections.empty()) return nullptr;
  return m_collections.Get(session->collections.back());
}

uint32_t Registry::AddSearch(uint32_t sessionHandle, SearchResult result) {
  auto search = std::make_shared<Search>();
  search->session = sessionHandle;
  search->result = std::move(result);
  std::lock_guard lock(m_mutex);
  std::shared_ptr<Session> session = m_sessions.Get(sessionHandle);
  if (!session) return 0;
  uint32_t handle = m_searches.Add(std::move(search));
  if (handle) session->searches.push_back(handle);
  return handle;
}

bool Registry::FreeSearch(uint32_t handle) {
  std::shared_ptr<Search> search;
  std::lock_guard lock(m_mutex);
  search = m_searches.Remove(handle);
  if (!search) return false;
  if (std::shared_ptr<Session> session = m_sessions.Get(search->session))
    Erase(session->searches, handle);
  return true;
}

std::shared_ptr<Search> Registry::GetSearch(uint32_t handle) {
  std::lock_guard lock(m_mutex);
  return m_searches.Get(handle);
}

uint32_t Registry::AddReply(int32_t count) {
  auto reply = std::make_shared<Reply>();
  reply->count = count;
  std::lock_guard lock(m_mutex);
  return m_replies.Add(std::move(reply));
}

bool Registry::FreeReply(uint32_t handle) {
  std::lock_guard lock(m_mutex);
  return m_replies.Remove(handle) != nullptr;
}

std::shared_ptr<Reply> Registry::GetReply(uint32_t handle) {
  std::lock_guard lock(m_mutex);
  return m_replies.Get(handle);
}

TkSearchInfo* Registry::AddInfo(std::unique_ptr<TkSearchInfo> info) {
  TkSearchInfo* raw = info.get();
  std::lock_guard lock(m_mutex);
  m_infos.emplace(raw, std::move(info));
  return raw;
}

bool Registry::FreeInfo(const TkSearchInfo* info) {
  std::unique_ptr<TkSearchInfo> owned;
  std::lock_guard lock(m_mutex);
  auto it = m_infos.find(info);
  if (it == m_infos.end()) return false;
  owned = std::move(it->second);
  m_infos.erase(it);
  return true;
}

TkDocBatch* Registry::AddBatch(std::unique_ptr<BatchRecord> batch) {
  TkDocBatch* raw = &batch->batch;
  std::lock_guard lock(m_mutex);
  m_batches.emplace(raw, std::move(batch));
  return raw;
}

bool Registry::FreeBatch(const TkDocBatch* batch) {
  std::unique_ptr<BatchRecord> owned;
  std::lock_guard lock(m_mutex);
  auto it = m_batches.find(batch);
  if (it == m_batches.end()) return false;
  owned = std::move(it->second);
  m_batches.erase(it);
  return true;
}

}  // namespace dizode
