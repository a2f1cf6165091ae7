// @brief Find: the component's search over the open collection.
#include <algorithm>
#include <string>

#include "component/com/vivevi_vadiro.h"
#include "component/host/error_report.h"
#include "component/search/build_results.h"
#include "component/search/text_conversion.h"
#include "component/session/rebuild_mark.h"
#include "component/toolkit/failure_texts.h"
#include "component/toolkit/search_request.h"
#include "component/toolkit/toolkit_error.h"
#include "component/ui/progress_dialog.h"
#include "winport/owners.h"

namespace {
constexpr const char* kResultFields[] = {"SCORE", "VdkVgwKey", "Title"};
constexpr char kTitlePrefix[] = "TITLE <CONTAINS> ";

// The whole of the host's text: a NUL inside it would end it there for the
// toolkit and drop the rest unseen, so it separates words as a blank does.
std::string QueryText(BSTR sSearchString) {
  WideString sWide(sSearchString, SysStringLen(sSearchString));
  std::replace(sWide.begin(), sWide.end(), OLECHAR(0), OLECHAR(' '));
  return WideToNarrow(sWide.c_str());
}
}  // namespace

STDMETHODIMP ViveviVadiro::Find(BSTR sSearchString, VARIANT* pSearchDirs, LONG bTitleOnly,
                                VARIANT* pResults) {
  try {
    // After a failed build there is nothing to search, and the host hears why.
    if (!m_handles.Session() || !m_handles.Collection()) {
      return ReportError(E_FAIL, m_sIndexProblem.empty() ? kNoCollectionOpen : m_sIndexProblem);
    }
    if (!pResults || !sSearchString) {
      return ReportError(E_INVALIDARG, kFindArgumentMissing);
    }
    const bool bUpdated = RunPendingUpdate();
    const HRESULT hr = Search(sSearchString, pSearchDirs, bTitleOnly, pResults);
    // The search ran over the collection as it was: S_FALSE, and the error
    // object says why it could not follow the help folder.
    if (hr == S_OK && bUpdated && !m_sIndexProblem.empty()) {
      return ReportError(S_FALSE, m_sIndexProblem);
    }
    return hr;
  } catch (const std::exception& error) {
    return ReportError(E_FAIL, error.what());
  } catch (...) {
    return ReportError(E_FAIL, kUnexpectedFailure);
  }
}

bool ViveviVadiro::RunPendingUpdate() {
  if (!m_watcher.IsPending()) {
    return false;
  }
  try {
    if (m_bShowUI) {
      UpdateWithProgress(this);
    } else {
      UpdateCollection();
    }
  } catch (...) {
    // The update keeps the flag set and its reason on failure, so the next
    // Find tries again; the search itself goes on over the collection, which
    // stays open.
  }
  return true;
}

HRESULT ViveviVadiro::Search(BSTR sSearchString, VARIANT* pSearchDirs, LONG bTitleOnly,
                             VARIANT* pResults) {
  SearchRequest request;
  try {
    RefreshCollection(m_handles.Collection());
    std::string sQuery = QueryText(sSearchString);
    if (bTitleOnly) {
      sQuery.insert(0, kTitlePrefix);
    }

    int32_t nReturn = request.Search(m_handles.Session(), sQuery.c_str());
    if (ToolkitFailed(nReturn)) {
      ThrowToolkitFailure(kSearchFailed, nReturn, m_handles.Session());
    }
    nReturn = request.GetInfo();
    if (ToolkitFailed(nReturn)) {
      ThrowToolkitFailure(kSearchInfoFailed, nReturn, m_handles.Session());
    }
    nReturn = request.ReadBatch(m_handles.Session(), kResultFields, 3);
    if (ToolkitFailed(nReturn)) {
      ThrowToolkitFailure(kDocReadBatchFailed, nReturn, m_handles.Session());
    }

    VariantClear(pResults);
    const TkDocBatch* pBatch = request.Batch();
    if (!pBatch || pBatch->documentCount <= 0) {
      return S_OK;
    }
    winport::SafeArray results =
        winport::SafeArray::Vector(VT_VARIANT, 0, static_cast<ULONG>(pBatch->documentCount));
    if (!results) {
      return ReportError(E_OUTOFMEMORY, kOutOfMemory);
    }
    HRESULT hr = BuildResults(pSearchDirs, results.Get(), pBatch);
    if (FAILED(hr)) {
      return ReportError(hr, FolderListFailureText(hr));
    }
    V_VT(pResults) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(pResults) = results.Detach();
    return S_OK;
  } catch (const ToolkitError& error) {
    // A corrupt collection is built again by the next start-up.
    if (error.Status() == TK_E_CORRUPT) {
      MarkForRebuild(m_folders.m_sCollectionDir);
    }
    return ReportError(E_FAIL, error.what());
  } catch (const std::exception& error) {
    return ReportError(E_FAIL, error.what());
  } catch (...) {
    return ReportError(E_FAIL, kUnexpectedFailure);
  }
}
