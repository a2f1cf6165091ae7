// @brief Listing the keys the open collection holds: a search with no query
// text, reading one field of every document.
#include "component/index/indexed_listing.h"

#include "component/com/vivevi_vadiro.h"
#include "component/toolkit/search_request.h"
#include "component/toolkit/toolkit_error.h"

namespace {
constexpr const char* kKeyField[] = {"VdkVgwKey"};
}  // namespace

int32_t ListIndexedKeys(TkSession hSession, DocumentSet& docs) {
  SearchRequest request;
  int32_t nReturn = request.Search(hSession, nullptr);
  if (ToolkitFailed(nReturn)) {
    return nReturn;
  }
  nReturn = request.GetInfo();
  if (ToolkitFailed(nReturn)) {
    return nReturn;
  }
  nReturn = request.ReadBatch(hSession, kKeyField, 1);
  if (ToolkitFailed(nReturn)) {
    return nReturn;
  }
  const TkDocBatch* pBatch = request.Batch();
  if (pBatch && pBatch->texts) {
    for (int32_t i = 0; i < pBatch->documentCount; ++i) {
      const char* sKey = pBatch->texts[static_cast<size_t>(i) * pBatch->fieldCount];
      if (sKey) {
        docs.insert(sKey);
      }
    }
  }
  return 0;
}

bool ViveviVadiro::ListIndexedDocuments(DocumentSet& docs) {
  return !ToolkitFailed(ListIndexedKeys(m_handles.Session(), docs));
}
