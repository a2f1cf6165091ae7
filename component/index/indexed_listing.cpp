// @brief Listing the keys the open collection holds: a search with no query
// text, reading one field of every document.
#include "component/com/vivevi_vadiro.h"
#include "component/toolkit/search_request.h"
#include "component/toolkit/toolkit_error.h"

namespace {
constexpr const char* kKeyField[] = {"VdkVgwKey"};
}  // namespace

bool ViveviVadiro::ListIndexedDocuments(DocumentSet& docs) {
  SearchRequest request;
  if (ToolkitFailed(request.Search(m_handles.Session(), nullptr))) {
    return false;
  }
  if (ToolkitFailed(request.GetInfo())) {
    return false;
  }
  if (ToolkitFailed(request.ReadBatch(m_handles.Session(), kKeyField, 1))) {
    return false;
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
  return true;
}
