// @brief The exported operations: argument checks, handle look-ups and status conversion.
//
// Every operation runs inside Guard, which turns an internal failure into its status, so no
// exception leaves the library.
#include <cstring>
#include <memory>
#include <string>
#include <new>

#include "dizode/dizode.h"
#include "indexer.h"
#include "last_error.h"
#include "registry.h"
#include "status.h"

namespace dizode {
namespace {

// What an operation knows of itself while it runs: what it is doing (the start of its failure
// text) and, once its handles lead to one, the session that records its outcome.
struct Call {
  const char* doing;
  std::shared_ptr<Session> session;
};

// Runs an operation's body, turns every internal failure into its status and records the
// outcome in the operation's session, if it found one.
template <typename Body>
int32_t Guard(const char* doing, Body&& body) noexcept {
  Call call{doing, nullptr};
  int32_t status = TK_OK;
  int32_t column = 0;
  const char* detail = nullptr;
  std::string message;  // keeps a StatusError's text alive past its catch block
  try {
    status = body(call);
  } catch (const StatusError& error) {
    status = error.status();
    column = error.column();
    try {
      message = error.what();
      detail = message.c_str();
    } catch (...) {
      detail = "out of memory while describing the failure";
    }
  } catch (const std::bad_alloc&) {
    status = TK_E_NO_MEMORY;
  } catch (const std::exception& error) {
    status = TK_E_INTERNAL;
    try {
      message = error.what();
      detail = message.c_str();
    } catch (...) {
    }
  } catch (...) {
    status = TK_E_INTERNAL;
  }
  if (call.session) {
    LastError& record = call.session->lastError;
    if (status == TK_OK)
      record.Clear();
    else  // a query error's text is the query language's own message, without the doing
      record.Set(status, column, column ? "" : doing, detail ? detail : TkStatusText(status));
  }
  return status;
}

// A record must be present and carry this target's size and the interface version.
template <typename Record>
int32_t CheckRecord(const Record* record) {
  if (!record) return TK_E_BAD_ARGUMENT;
  if (record->size != sizeof(Record) || record->version != TK_VERSION) return TK_E_BAD_RECORD;
  return TK_OK;
}

Registry& Tables() { return Registry::Instance(); }

// The collection of a handle, with its session bound to the call for its outcome.
std::shared_ptr<Collection> CollectionOf(TkCollection handle, Call& call) {
  std::shared_ptr<Collection> object = Tables().GetCollection(handle);
  if (object) call.session = Tables().GetSession(object->session);
  return object;
}

// The search of a handle, with its session bound to the call for its outcome.
std::shared_ptr<Search> SearchOf(TkSearchHandle handle, Call& call) {
  std::shared_ptr<Search> object = Tables().GetSearch(handle);
  if (object) call.session = Tables().GetSession(object->session);
  return object;
}

constexpr const char* kKeyField = "VdkVgwKey";

const std::string* FieldOf(const Hit& hit, const char* name) {
  if (!name) return nullptr;
  if (std::strcmp(name, "SCORE") == 0) return &hit.score;
  if (std::strcmp(name, kKeyField) == 0) return &hit.key;
  if (std::strcmp(name, "Title") == 0) return &hit.title;
  return nullptr;
}

std::unique_ptr<BatchRecord> MakeBatch(const std::vector<Hit>& hits, size_t first, size_t count,
                                       const char* const* names, uint16_t fieldCount) {
  auto record = std::make_unique<BatchRecord>();
  std::vector<size_t> offsets;
  offsets.reserve(count * fieldCount);
  for (size_t i = first; i < first + count; ++i) {
    for (uint16_t f = 0; f < fieldCount; ++f) {
      offsets.push_back(record->storage.size());
      if (const std::string* text = FieldOf(hits[i], names[f])) record->storage += *text;
      record->storage += '\0';
    }
  }
  record->texts.reserve(offsets.size());
  for (size_t offset : offsets) record->texts.push_back(record->storage.data() + offset);
  record->batch = MakeRecord<TkDocBatch>();
  record->batch.documentCount = static_cast<int32_t>(count);
  record->batch.fieldCount = fieldCount;
  record->batch.texts = record->texts.empty() ? nullptr : record->texts.data();
  return record;
}

}  // namespace
}  // namespace dizode

using namespace dizode;

extern "C" {

TK_API int32_t TkOpenSession(TkSession* session, const TkSessionArgs* args) {
  return Guard("opening a session", [&](Call&) {
    if (!session) return TK_E_BAD_ARGUMENT;
    *session = 0;
    if (int32_t status = CheckRecord(args)) return status;
    auto object = std::make_shared<Session>();
    if (args->commonDir) object->commonDir = args->commonDir;
    object->sink = {args->callback, args->callbackContext, args->messageMask};
    *session = Tables().AddSession(std::move(object));
    return *session ? TK_OK : TK_E_NO_MEMORY;
  });
}

TK_API int32_t TkCloseSession(TkSession session) {
  return Guard("closing the session",
               [&](Call&) { return Tables().CloseSession(session) ? TK_OK : TK_E_BAD_HANDLE; });
}

TK_API int32_t TkOpenCollection(TkSession session, TkCollection* collection,
                                const TkCollectionArgs* args) {
  const bool creating = args && args->mode == TK_COLLECTION_CREATE;
  return Guard(creating ? "creating the collection" : "opening the collection", [&](Call& call) {
    call.session = Tables().GetSession(session);
    if (!collection) return TK_E_BAD_ARGUMENT;
    *collection = 0;
    if (int32_t status = CheckRecord(args)) return status;
    if (!args->path) return TK_E_BAD_ARGUMENT;
    if (!call.session) return TK_E_BAD_HANDLE;
    auto object = std::make_shared<Collection>();
    if (args->mode == TK_COLLECTION_CREATE) {
      object->store = Store::Create(args->path, args->styleDir ? args->styleDir : "");
    } else if (args->mode == TK_COLLECTION_OPEN) {
      object->store = Store::Open(args->path);
    } else {
      return TK_E_BAD_MODE;
    }
    uint32_t handle = Tables().AddCollection(session, std::move(object));
    if (!handle) return TK_E_BAD_HANDLE;  // the session was closed meanwhile
    *collection = handle;
    return TK_OK;
  });
}

TK_API int32_t TkCloseCollection(TkCollection collection) {
  return Guard("closing the collection", [&](Call& call) {
    CollectionOf(collection, call);
    return Tables().CloseCollection(collection) ? TK_OK : TK_E_BAD_HANDLE;
  });
}

TK_API int32_t TkQueryCollection(TkCollection collection, const TkCollectionRequestArgs* args,
                                 TkCollectionReply* reply) {
  return Guard("refreshing the collection", [&](Call& call) {
    std::shared_ptr<Collection> object = CollectionOf(collection, call);
    if (!reply) return TK_E_BAD_ARGUMENT;
    *reply = 0;
    if (int32_t status = CheckRecord(args)) return status;
    if (!object) return TK_E_BAD_HANDLE;
    if (args->request != TK_REQUEST_REFRESH) return TK_E_BAD_MODE;
    int64_t count;
    {
      std::lock_guard lock(object->mutex);
      object->store->Refresh();
      count = object->store->DocumentCount();
    }
    *reply = Tables().AddReply(static_cast<int32_t>(count));
    return *reply ? TK_OK : TK_E_NO_MEMORY;
  });
}

TK_API int32_t TkFreeCollectionReply(TkCollectionReply reply) {
  return Guard("freeing a collection reply",
               [&](Call&) { return Tables().FreeReply(reply) ? TK_OK : TK_E_BAD_HANDLE; });
}

TK_API int32_t TkCollectionReplyCount(TkCollectionReply reply) {
  return Guard("reading a collection reply", [&](Call&) {
    std::shared_ptr<Reply> object = Tables().GetReply(reply);
    return object ? object->count : -1;
  });
}

TK_API int32_t TkSubmit(TkCollection collection, const TkSubmitArgs* args) {
  const bool removing = args && args->operation == TK_SUBMIT_DELETE;
  return Guard(removing ? "removing pages" : "adding pages", [&](Call& call) {
    std::shared_ptr<Collection> object = CollectionOf(collection, call);
    if (int32_t status = CheckRecord(args)) return status;
    if (!object) return TK_E_BAD_HANDLE;
    if (args->operation != TK_SUBMIT_ADD && args->operation != TK_SUBMIT_DELETE)
      return TK_E_BAD_OPERATION;
    if (args->count < 0 || (args->count > 0 && !args->keys)) return TK_E_BAD_ARGUMENT;
    std::vector<std::string> keys;
    keys.reserve(static_cast<size_t>(args->count));
    for (int32_t i = 0; i < args->count; ++i) {
      if (!args->keys[i]) return TK_E_BAD_ARGUMENT;
      keys.emplace_back(args->keys[i]);
    }
    Progress progress(call.session ? call.session->sink : ProgressSink{});
    std::lock_guard lock(object->mutex);
    if (args->operation == TK_SUBMIT_ADD)
      AddPages(*object->store, std::move(keys), progress);
    else
      DeletePages(*object->store, std::move(keys), progress);
    return TK_OK;
  });
}

TK_API int32_t TkSearch(TkSession session, TkSearchHandle* search, const TkSearchArgs* args) {
  const bool listing = args && !args->query;
  return Guard(listing ? "listing the pages" : "searching", [&](Call& call) {
    call.session = Tables().GetSession(session);
    if (!search) return TK_E_BAD_ARGUMENT;
    *search = 0;
    if (int32_t status = CheckRecord(args)) return status;
    if (!call.session) return TK_E_BAD_HANDLE;
    std::shared_ptr<Collection> collection = Tables().CurrentCollection(session);
    if (!collection) return TK_E_NOT_OPEN;
    SearchResult result;
    {
      std::lock_guard lock(collection->mutex);
      if (args->query) {
        result = RunQuery(*collection->store, args->query);
      } else {
        Progress progress(call.session->sink);
        result = ListAll(*collection->store, progress);
      }
    }
    *search = Tables().AddSearch(session, std::move(result));
    return *search ? TK_OK : TK_E_BAD_HANDLE;
  });
}

TK_API int32_t TkFreeSearch(TkSearchHandle search) {
  return Guard("freeing a search", [&](Call& call) {
    SearchOf(search, call);
    return Tables().FreeSearch(search) ? TK_OK : TK_E_BAD_HANDLE;
  });
}

TK_API int32_t TkGetSearchInfo(TkSearchHandle search, const TkSearchInfoArgs* args,
                               TkSearchInfo** info) {
  return Guard("reading the search information", [&](Call& call) {
    std::shared_ptr<Search> object = SearchOf(search, call);
    if (!info) return TK_E_BAD_ARGUMENT;
    *info = nullptr;
    if (int32_t status = CheckRecord(args)) return status;
    if (!object) return TK_E_BAD_HANDLE;
    auto record = std::make_unique<TkSearchInfo>(MakeRecord<TkSearchInfo>());
    size_t hits = object->result.hits.size();
    record->totalDocuments = static_cast<int32_t>(hits);
    record->warningCount = object->result.warningCount;
    record->documentCount = static_cast<int16_t>(std::min<size_t>(hits, TK_SEARCH_INFO_MAX_COUNT));
    *info = Tables().AddInfo(std::move(record));
    return TK_OK;
  });
}

TK_API int32_t TkFreeSearchInfo(TkSearchInfo* info) {
  return Guard("freeing search information", [&](Call&) {
    if (!info) return TK_E_BAD_ARGUMENT;
    return Tables().FreeInfo(info) ? TK_OK : TK_E_BAD_HANDLE;
  });
}

TK_API int32_t TkReadDocBatch(TkSession session, const TkDocBatchArgs* args, TkDocBatch** batch) {
  return Guard("reading documents", [&](Call& call) {
    call.session = Tables().GetSession(session);
    if (!batch) return TK_E_BAD_ARGUMENT;
    *batch = nullptr;
    if (int32_t status = CheckRecord(args)) return status;
    if (!call.session) return TK_E_BAD_HANDLE;
    if (!Tables().CurrentCollection(session)) return TK_E_NOT_OPEN;
    std::shared_ptr<Search> search = Tables().GetSearch(args->search);
    if (!search || search->session != session) return TK_E_BAD_HANDLE;
    if (args->count < 0 || (args->fieldCount > 0 && !args->fieldNames)) return TK_E_BAD_ARGUMENT;
    const std::vector<Hit>& hits = search->result.hits;
    size_t first = std::min<size_t>(args->first, hits.size());
    // The saturated count of the search information stands for "every hit".
    size_t count =
        args->count == TK_SEARCH_INFO_MAX_COUNT ? hits.size() : static_cast<size_t>(args->count);
    count = std::min(count, hits.size() - first);
    *batch = Tables().AddBatch(MakeBatch(hits, first, count, args->fieldNames, args->fieldCount));
    return TK_OK;
  });
}

TK_API int32_t TkFreeDocBatch(TkDocBatch* batch) {
  return Guard("freeing a document batch", [&](Call&) {
    if (!batch) return TK_E_BAD_ARGUMENT;
    return Tables().FreeBatch(batch) ? TK_OK : TK_E_BAD_HANDLE;
  });
}

TK_API int32_t TkGetLastError(TkSession session, TkErrorInfo* info) {
  if (int32_t status = CheckRecord(info)) return status;
  std::shared_ptr<Session> object;
  try {
    object = Tables().GetSession(session);
  } catch (...) {
    return TK_E_INTERNAL;  // the registry's lock failed
  }
  if (!object) return TK_E_BAD_HANDLE;
  object->lastError.CopyTo(*info);
  return TK_OK;
}

}  // extern "C"
