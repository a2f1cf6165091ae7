// @brief Initialize: the host's settings, session start-up, then the watcher.
#include <exception>
#include <string>

#include "component/com/vivevi_vadiro.h"
#include "component/host/error_report.h"
#include "component/toolkit/failure_texts.h"

STDMETHODIMP ViveviVadiro::Initialize(LONG bShowUI) {
  std::string sFailure;
  try {
    m_bShowUI = bShowUI != 0;
    ReadHostSettings();
    if (!StartSession(m_bShowUI)) {
      // A failed build leaves its first indexing error behind; it says more,
      // and its own failure more than nothing.
      sFailure = !m_sLastError.Empty()      ? m_sLastError.Text()
                 : !m_sIndexProblem.empty() ? m_sIndexProblem
                                            : kStartUpFailed + m_folders.m_sCollectionDir;
    }
  } catch (const std::exception& error) {
    sFailure = error.what();
  } catch (...) {
    sFailure = kUnexpectedFailure;
  }
  if (!sFailure.empty()) {
    return ReportError(E_FAIL, sFailure);
  }
  if (m_bWatchingDeclined) {
    return StartedResult();
  }
  try {
    // Armed on the watcher's thread: a host that searches once and exits
    // never waits for the walk of the help tree, and its stop cancels the
    // walk. A change made between the start-up update's scan and the arming
    // goes unreported, as it would in the moment between that scan and any
    // arming; a host that must not miss one sets AutoRefresh, which arms
    // before it returns.
    StartWatcher(FolderWatcher::Arming::kOnThread);
  } catch (...) {
    // The watcher's outcome does not change the result.
  }
  return StartedResult();
}

HRESULT ViveviVadiro::StartedResult() {
  // The collection is open and searched as it was committed: S_FALSE, and
  // the error object says why it does not follow the help folder.
  return m_sIndexProblem.empty() ? S_OK : ReportError(S_FALSE, m_sIndexProblem);
}
