// @brief Find: the component's search over the open collection.
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
}  // namespace

STDMETHODIMP ViveviVadiro::Find(BSTR sSearchString, VARIANT* pSearchDirs, LONG bTitleOnly,
                                VARIANT* pResults) {
  try {
    if (!m_handles.Session() || !m_handles.Collection()) {
      return ReportError(E_FAIL, kNoCollectionOpen);
    }
    if (!pResults || !sSearchString) {
      return ReportError(E_INVALIDARG, kFindArgumentMissing);
    }
    const std::string sUpdateFailure = RunPendingUpdate();
    // The update may have failed and closed the collection.
    if (!m_handles.Session() || !m_handles.Collection()) {
      return ReportError(E_FAIL, sUpdateFailure.empty() ? kNoCollectionOpen : sUpdateFailure);
    }
    return Search(sSearchString, pSearchDirs, bTitleOnly, pResults);
  } catch (const std::exception& error) {
    return ReportError(E_FAIL, error.what());
  } catch (...) {
    return ReportError(E_FAIL, kUnexpectedFailure);
  }
}

std::string ViveviVadiro::RunPendingUpdate() {
  if (!m_watcher.IsPending()) {
    return {};
  }
  try {
    if (m_bShowUI) {
      UpdateWithProgress(this);
    } else {
      UpdateCollection();
    }
  } catch (const std::exception& error) {
    // The update keeps the flag set on failure, so the next Find tries again;
    // the search itself goes on over whatever is still open.
    return error.what();
  } catch (...) {
    return kUnexpectedFailure;
  }
  return {};
}

HRESULT ViveviVadiro::Search(BSTR sSearchString, VARIANT* pSearchDirs, LONG bTitleOnly,
                             VARIANT* pResults) {
  SearchRequest request;
  try {
    RefreshCollection(m_handles.Collection());
    std::string sQuery = WideToNarrow(sSearchString);
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
