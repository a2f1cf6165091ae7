// @brief The fake toolkit's operations.
#include "component/tests/support/fake_toolkit.h"

#include <algorithm>

FakeToolkit* FakeToolkit::s_pCurrent = nullptr;

FakeToolkit::FakeToolkit() {
  s_pCurrent = this;
  m_previous = ReplaceToolkit(
      ToolkitTable{&OpenSession, &CloseSession, &OpenCollection, &CloseCollection, &QueryCollection,
                   &FreeCollectionReply, &Submit, &Search, &FreeSearch, &GetSearchInfo,
                   &FreeSearchInfo, &ReadDocBatch, &FreeDocBatch, &GetLastError});
}

FakeToolkit::~FakeToolkit() {
  ReplaceToolkit(m_previous);
  for (TkSearchInfo* p : m_infos) {
    delete p;
  }
  for (Batch* p : m_batches) {
    delete p;
  }
  s_pCurrent = nullptr;
}

std::vector<std::string> FakeToolkit::Ops() const {
  std::vector<std::string> ops;
  for (const ToolkitCall& call : calls) {
    ops.push_back(call.sOp);
  }
  return ops;
}

const ToolkitCall* FakeToolkit::Last(const std::string& sOp) const {
  for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
    if (it->sOp == sOp) {
      return &*it;
    }
  }
  return nullptr;
}

int FakeToolkit::Count(const std::string& sOp) const {
  return static_cast<int>(std::count_if(calls.begin(), calls.end(),
                                        [&](const ToolkitCall& c) { return c.sOp == sOp; }));
}

int FakeToolkit::Outstanding() const {
  int n = static_cast<int>(
      std::count_if(m_live.begin(), m_live.end(), [](const auto& entry) { return entry.second; }));
  return n + static_cast<int>(m_infos.size() + m_batches.size());
}

namespace {
// Failures hand out nothing; the low 16 bits decide, as for the real toolkit.
bool Fails(int32_t n) { return (n & 0xFFFF) != 0; }
std::string Text(const char* s) { return s ? std::string(s) : std::string("<null>"); }
}  // namespace

int32_t FakeToolkit::Next(const std::string& sOp) {
  auto it = m_scripted.find(sOp);
  if (it == m_scripted.end() || it->second.empty()) {
    return 0;
  }
  int32_t n = it->second.front();
  it->second.pop_front();
  return n;
}

uint32_t FakeToolkit::Issue(uint32_t nBase) {
  uint32_t h = nBase + m_nNext++;
  m_live[h] = true;
  return h;
}

int32_t FakeToolkit::Answer(const char* sOp, uint32_t nBase, uint32_t* pHandle) {
  int32_t n = Next(sOp);
  if (!Fails(n)) {
    *pHandle = Issue(nBase);
  }
  return n;
}

void FakeToolkit::Free(uint32_t nHandle) {
  auto it = m_live.find(nHandle);
  if (it == m_live.end() || !it->second) {
    ++m_nBadReleases;
    return;
  }
  it->second = false;
}

template <typename Rec>
ToolkitCall& FakeToolkit::Record(const char* sOp, uint32_t nHandle, const Rec* pRecord) {
  ToolkitCall call;
  call.sOp = sOp;
  call.nHandle = nHandle;
  if (pRecord) {
    const auto* p = reinterpret_cast<const uint8_t*>(pRecord);
    call.record.assign(p, p + sizeof(Rec));
  }
  calls.push_back(std::move(call));
  return calls.back();
}

int32_t FakeToolkit::OpenSession(TkSession* pSession, const TkSessionArgs* pArgs) {
  FakeToolkit& self = *s_pCurrent;
  ToolkitCall& call = self.Record("TkOpenSession", 0, pArgs);
  call.texts.push_back(Text(pArgs->commonDir));
  int32_t n = self.Answer("TkOpenSession", 1000, pSession);
  if (!Fails(n)) {
    self.m_callbacks[*pSession] = {pArgs->callback, pArgs->callbackContext};
  }
  return n;
}

int32_t FakeToolkit::CloseSession(TkSession hSession) {
  s_pCurrent->Record<int>("TkCloseSession", hSession, nullptr);
  s_pCurrent->Free(hSession);
  return 0;
}

int32_t FakeToolkit::OpenCollection(TkSession hSession, TkCollection* pCollection,
                                    const TkCollectionArgs* pArgs) {
  FakeToolkit& self = *s_pCurrent;
  ToolkitCall& call = self.Record("TkOpenCollection", hSession, pArgs);
  call.texts.push_back(Text(pArgs->path));
  call.texts.push_back(Text(pArgs->styleDir));
  return self.Answer("TkOpenCollection", 2000, pCollection);
}

int32_t FakeToolkit::CloseCollection(TkCollection hCollection) {
  s_pCurrent->Record<int>("TkCloseCollection", hCollection, nullptr);
  s_pCurrent->Free(hCollection);
  return 0;
}

int32_t FakeToolkit::QueryCollection(TkCollection hCollection, const TkCollectionRequestArgs* pArgs,
                                     TkCollectionReply* pReply) {
  FakeToolkit& self = *s_pCurrent;
  self.Record("TkQueryCollection", hCollection, pArgs);
  return self.Answer("TkQueryCollection", 3000, pReply);
}

int32_t FakeToolkit::FreeCollectionReply(TkCollectionReply hReply) {
  s_pCurrent->Record<int>("TkFreeCollectionReply", hReply, nullptr);
  if (hReply) {
    s_pCurrent->Free(hReply);
  }
  return 0;
}

int32_t FakeToolkit::Submit(TkCollection hCollection, const TkSubmitArgs* pArgs) {
  FakeToolkit& self = *s_pCurrent;
  ToolkitCall& call = self.Record("TkSubmit", hCollection, pArgs);
  for (int32_t i = 0; i < pArgs->count; ++i) {
    call.texts.push_back(Text(pArgs->keys[i]));
  }
  // Progress goes to the callback of the session the collection was opened in;
  // the fake keeps one callback per session and uses the newest one.
  for (const auto& [hSession, callback] : self.m_callbacks) {
    if (!callback.first || !self.m_live[hSession]) {
      continue;
    }
    uint32_t nSequence = 0;
    for (const std::string& sText : self.progressMessages) {
      TkStatusMessage message{};
      message.size = sizeof message;
      message.version = TK_VERSION;
      message.sequence = ++nSequence;
      message.text = sText.c_str();
      callback.first(callback.second, &message);
    }
  }
  return self.Next("TkSubmit");
}

int32_t FakeToolkit::Search(TkSession hSession, TkSearchHandle* pSearch,
                            const TkSearchArgs* pArgs) {
  FakeToolkit& self = *s_pCurrent;
  ToolkitCall& call = self.Record("TkSearch", hSession, pArgs);
  call.texts.push_back(Text(pArgs->query));
  return self.Answer("TkSearch", 4000, pSearch);
}

int32_t FakeToolkit::FreeSearch(TkSearchHandle hSearch) {
  s_pCurrent->Record<int>("TkFreeSearch", hSearch, nullptr);
  s_pCurrent->Free(hSearch);
  return 0;
}

int32_t FakeToolkit::GetSearchInfo(TkSearchHandle hSearch, const TkSearchInfoArgs* pArgs,
                                   TkSearchInfo** ppInfo) {
  FakeToolkit& self = *s_pCurrent;
  self.Record("TkGetSearchInfo", hSearch, pArgs);
  int32_t n = self.Next("TkGetSearchInfo");
  if (Fails(n)) {
    return n;
  }
  auto* pInfo = new TkSearchInfo{};
  pInfo->documentCount = static_cast<int16_t>(self.documents.size());
  self.m_infos.push_back(pInfo);
  *ppInfo = pInfo;
  return n;
}

int32_t FakeToolkit::FreeSearchInfo(TkSearchInfo* pInfo) {
  FakeToolkit& self = *s_pCurrent;
  self.Record<int>("TkFreeSearchInfo", 0, nullptr);
  auto it = std::find(self.m_infos.begin(), self.m_infos.end(), pInfo);
  if (it == self.m_infos.end()) {
    ++self.m_nBadReleases;
    return 0;
  }
  delete *it;
  self.m_infos.erase(it);
  return 0;
}

int32_t FakeToolkit::ReadDocBatch(TkSession hSession, const TkDocBatchArgs* pArgs,
                                  TkDocBatch** ppBatch) {
  FakeToolkit& self = *s_pCurrent;
  ToolkitCall& call = self.Record("TkReadDocBatch", hSession, pArgs);
  for (uint16_t f = 0; f < pArgs->fieldCount; ++f) {
    call.texts.push_back(Text(pArgs->fieldNames[f]));
  }
  int32_t n = self.Next("TkReadDocBatch");
  if (Fails(n)) {
    return n;
  }
  auto* pBatch = new Batch{};
  size_t nDocs = std::min<size_t>(self.documents.size(), pArgs->count < 0 ? 0 : pArgs->count);
  for (size_t d = 0; d < nDocs; ++d) {
    for (uint16_t f = 0; f < pArgs->fieldCount; ++f) {
      auto it = self.documents[d].find(pArgs->fieldNames[f]);
      pBatch->storage.push_back(it == self.documents[d].end() ? "" : it->second);
    }
  }
  for (const std::string& s : pBatch->storage) {
    pBatch->texts.push_back(s.c_str());
  }
  pBatch->batch.size = sizeof(TkDocBatch);
  pBatch->batch.version = TK_VERSION;
  pBatch->batch.documentCount = static_cast<int32_t>(nDocs);
  pBatch->batch.fieldCount = pArgs->fieldCount;
  pBatch->batch.texts = pBatch->texts.data();
  self.m_batches.push_back(pBatch);
  *ppBatch = &pBatch->batch;
  return n;
}

int32_t FakeToolkit::FreeDocBatch(TkDocBatch* pBatch) {
  FakeToolkit& self = *s_pCurrent;
  self.Record<int>("TkFreeDocBatch", 0, nullptr);
  auto it = std::find_if(self.m_batches.begin(), self.m_batches.end(),
                         [&](Batch* p) { return &p->batch == pBatch; });
  if (it == self.m_batches.end()) {
    ++self.m_nBadReleases;
    return 0;
  }
  delete *it;
  self.m_batches.erase(it);
  return 0;
}

int32_t FakeToolkit::GetLastError(TkSession, TkErrorInfo* pInfo) {
  const FakeToolkit& self = *s_pCurrent;
  *pInfo = dizode::MakeRecord<TkErrorInfo>();
  pInfo->column = self.nLastErrorColumn;
  self.sLastErrorText.copy(pInfo->text, sizeof pInfo->text - 1);
  return 0;
}
