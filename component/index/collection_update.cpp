// @brief Bringing the open collection in step with the help folder: pages
// found only in the folder are added, keys found only in the collection are
// deleted, additions first.
#include "component/com/vivevi_vadiro.h"
#include "component/index/folder_scan.h"
#include "component/index/indexed_listing.h"
#include "component/index/scan_report.h"
#include "component/index/set_difference.h"
#include "component/index/submit_args.h"
#include "component/session/rebuild_mark.h"
#include "component/toolkit/failure_texts.h"
#include "component/toolkit/search_request.h"
#include "component/toolkit/toolkit_error.h"
#include "component/toolkit/toolkit_table.h"
#include "dizode/dizode.h"

namespace {

constexpr char kReadOnlyNotUpdated[] =
    "The help index is read-only: changes in the help folder were not indexed.";
constexpr char kNotUpdatedFrom[] = "The help index could not be brought up to date with ";

// Submits docs. A read-only collection refuses every change but still
// answers searches: false. Any other failure raises sFailureText with the
// status. Either way the collection stays open: the toolkit rolled the
// submission back, and the collection still answers as it did before it.
bool Submit(const ToolkitHandles& handles, uint32_t nOperation, const DocumentSet& docs,
            const char* sFailureText) {
  SubmitRecord record;
  record.Fill(nOperation, docs);
  int32_t nReturn = Toolkit().TkSubmit(handles.Collection(), &record.Args());
  if (ToolkitStatus(nReturn) == TK_E_READ_ONLY) {
    return false;
  }
  if (ToolkitFailed(nReturn)) {
    ThrowToolkitFailure(sFailureText, nReturn, handles.Session());
  }
  return true;
}

}  // namespace

void ViveviVadiro::UpdateCollection() {
  if (!m_handles.Collection()) {
    throw ToolkitError(kNoCollectionOpen);
  }
  // Cleared before the work, not after it: a change the watcher reports while
  // the update runs must survive the update. A failure sets it again, so the
  // next Find retries.
  m_watcher.ClearPending();
  m_sIndexProblem.clear();
  try {
    m_docs.clear();
    const int32_t nListed = ListIndexedKeys(m_handles.Session(), m_docs);
    // Any other failed listing only means that nothing can be compared; a
    // corrupt collection would go on answering wrongly.
    if (ToolkitStatus(nListed) == TK_E_CORRUPT) {
      ThrowToolkitFailure(kSearchFailed, nListed, m_handles.Session());
    }
    const bool bListed = !ToolkitFailed(nListed);
    DocumentSet scanned;
    ScanHelpFolder(m_folders.m_sHelpDir, scanned, true, ProgressScanReport(this));

    DocumentSet toAdd;
    if (bListed) {
      SetDifference(scanned, m_docs, toAdd);
    }
    bool bWritable = true;
    if (!toAdd.empty()) {
      bWritable = Submit(m_handles, TK_SUBMIT_ADD, toAdd, kAddDocsFailed);
    }

    DocumentSet toDelete;
    if (bListed) {
      SetDifference(m_docs, scanned, toDelete);
    }
    if (bWritable && !toDelete.empty()) {
      bWritable = Submit(m_handles, TK_SUBMIT_DELETE, toDelete, kRemoveDocsFailed);
    }
    if (!bWritable) {
      // Said once: trying again before the next change would only say it again.
      m_sIndexProblem = kReadOnlyNotUpdated;
      ProgressScanReport(this)(kReadOnlyNotUpdated);
    }

    RefreshCollection(m_handles.Collection());
  } catch (const ToolkitError& error) {
    if (error.Status() == TK_E_CORRUPT) {
      MarkForRebuild(m_folders.m_sCollectionDir);
    }
    m_watcher.MarkPending();
    NoteNotUpdated(error.what());
    throw;
  } catch (const std::exception& error) {
    m_watcher.MarkPending();
    NoteNotUpdated(error.what());
    throw;
  } catch (...) {
    m_watcher.MarkPending();
    NoteNotUpdated(kUnexpectedFailure);
    throw;
  }
}

void ViveviVadiro::NoteNotUpdated(const std::string& sReason) {
  m_sIndexProblem = kNotUpdatedFrom + m_folders.m_sHelpDir + ": " + sReason;
}
