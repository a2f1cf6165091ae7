// @brief A fake search toolkit: records every call with a copy of its record,
// answers with scripted statuses and replies, and tracks what it handed out.
#pragma once

#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "component/toolkit/toolkit_table.h"

struct ToolkitCall {
  std::string sOp;                 // "TkOpenSession", ...
  uint32_t nHandle = 0;            // the first handle argument, 0 when none
  std::vector<uint8_t> record;     // the argument record's bytes, when there is one
  std::vector<std::string> texts;  // strings the record points to, copied during the call

  template <typename Record>
  Record As() const {
    Record r;
    std::memset(&r, 0, sizeof r);
    std::memcpy(&r, record.data(), record.size() < sizeof r ? record.size() : sizeof r);
    return r;
  }
};

class FakeToolkit {
 public:
  FakeToolkit();   // puts itself in place of the toolkit
  ~FakeToolkit();  // puts the previous toolkit back
  FakeToolkit(const FakeToolkit&) = delete;
  FakeToolkit& operator=(const FakeToolkit&) = delete;

  // The next call of sOp returns nReturn (queued; calls without a scripted
  // value return 0).
  void Script(const std::string& sOp, int32_t nReturn) { m_scripted[sOp].push_back(nReturn); }

  // Documents the searches yield, each a map of field name to text.
  std::vector<std::map<std::string, std::string>> documents;
  // Status messages sent to the session's progress callback during TkSubmit.
  std::vector<std::string> progressMessages;
  // What TkGetLastError reports for any session. Reading it is not recorded
  // among the calls: it only words a failure.
  std::string sLastErrorText;
  int32_t nLastErrorColumn = 0;
  // Every call, in order.
  std::vector<ToolkitCall> calls;

  std::vector<std::string> Ops() const;
  const ToolkitCall* Last(const std::string& sOp) const;
  int Count(const std::string& sOp) const;
  // Handles and replies handed out and not yet released.
  int Outstanding() const;
  // Handles closed or freed twice, or never handed out.
  int BadReleases() const { return m_nBadReleases; }

 private:
  static FakeToolkit* s_pCurrent;
  int32_t Next(const std::string& sOp);
  uint32_t Issue(uint32_t nBase);
  // The scripted return of sOp; on success a new handle goes to *pHandle.
  int32_t Answer(const char* sOp, uint32_t nBase, uint32_t* pHandle);
  void Free(uint32_t nHandle);
  template <typename Rec>
  ToolkitCall& Record(const char* sOp, uint32_t nHandle, const Rec* pRecord);

  static int32_t OpenSession(TkSession* pSession, const TkSessionArgs* pArgs);
  static int32_t CloseSession(TkSession hSession);
  static int32_t OpenCollection(TkSession hSession, TkCollection* pCollection,
                                const TkCollectionArgs* pArgs);
  static int32_t CloseCollection(TkCollection hCollection);
  static int32_t QueryCollection(TkCollection hCollection, const TkCollectionRequestArgs* pArgs,
                                 TkCollectionReply* pReply);
  static int32_t FreeCollectionReply(TkCollectionReply hReply);
  static int32_t Submit(TkCollection hCollection, const TkSubmitArgs* pArgs);
  static int32_t Search(TkSession hSession, TkSearchHandle* pSearch, const TkSearchArgs* pArgs);
  static int32_t FreeSearch(TkSearchHandle hSearch);
  static int32_t GetSearchInfo(TkSearchHandle hSearch, const TkSearchInfoArgs* pArgs,
                               TkSearchInfo** ppInfo);
  static int32_t FreeSearchInfo(TkSearchInfo* pInfo);
  static int32_t ReadDocBatch(TkSession hSession, const TkDocBatchArgs* pArgs,
                              TkDocBatch** ppBatch);
  static int32_t FreeDocBatch(TkDocBatch* pBatch);
  static int32_t GetLastError(TkSession hSession, TkErrorInfo* pInfo);

  struct Batch {
    TkDocBatch batch;
    std::vector<std::string> storage;
    std::vector<const char*> texts;
  };

  ToolkitTable m_previous;
  std::map<std::string, std::deque<int32_t>> m_scripted;
  std::map<uint32_t, bool> m_live;
  std::map<TkSession, std::pair<TkProgressCallback, void*>> m_callbacks;
  std::vector<TkSearchInfo*> m_infos;
  std::vector<Batch*> m_batches;
  uint32_t m_nNext = 1;
  int m_nBadReleases = 0;
};
