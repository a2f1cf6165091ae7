// @brief The toolkit's search conversation and the refresh request.
#include "component/toolkit/search_request.h"

#include "component/toolkit/toolkit_error.h"
#include "component/toolkit/toolkit_table.h"
#include "dizode/dizode.h"

SearchRequest::~SearchRequest() {
  const ToolkitTable& tk = Toolkit();
  if (m_pBatch) {
    tk.TkFreeDocBatch(m_pBatch);
  }
  if (m_pInfo) {
    tk.TkFreeSearchInfo(m_pInfo);
  }
  if (m_hSearch) {
    tk.TkFreeSearch(m_hSearch);
  }
}

int32_t SearchRequest::Search(TkSession hSession, const char* sQuery) {
  TkSearchArgs args = dizode::MakeRecord<TkSearchArgs>();
  args.query = sQuery;
  args.param48 = TK_SEARCH_PARAM48;
  int32_t nReturn = Toolkit().TkSearch(hSession, &m_hSearch, &args);
  if (ToolkitFailed(nReturn)) {
    m_hSearch = 0;  // nothing obtained, nothing to release
  }
  return nReturn;
}

int32_t SearchRequest::GetInfo() {
  TkSearchInfoArgs args = dizode::MakeRecord<TkSearchInfoArgs>();
  int32_t nReturn = Toolkit().TkGetSearchInfo(m_hSearch, &args, &m_pInfo);
  if (ToolkitFailed(nReturn)) {
    m_pInfo = nullptr;
  }
  return nReturn;
}

int32_t SearchRequest::ReadBatch(TkSession hSession, const char* const* fieldNames,
                                 uint16_t nFields) {
  TkDocBatchArgs args = dizode::MakeRecord<TkDocBatchArgs>();
  args.search = m_hSearch;
  args.first = 0;
  args.count = m_pInfo ? static_cast<int32_t>(m_pInfo->documentCount) : 0;
  args.fieldCount = nFields;
  args.fieldNames = fieldNames;
  int32_t nReturn = Toolkit().TkReadDocBatch(hSession, &args, &m_pBatch);
  if (ToolkitFailed(nReturn)) {
    m_pBatch = nullptr;
  }
  return nReturn;
}

void RefreshCollection(TkCollection hCollection) {
  const ToolkitTable& tk = Toolkit();
  TkCollectionRequestArgs args = dizode::MakeRecord<TkCollectionRequestArgs>();
  args.request = TK_REQUEST_REFRESH;
  TkCollectionReply reply = 0;
  tk.TkQueryCollection(hCollection, &args, &reply);
  tk.TkFreeCollectionReply(reply);
}
