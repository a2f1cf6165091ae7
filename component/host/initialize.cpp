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
      // A failed build leaves its first indexing error behind; it says more.
      sFailure =
          m_sLastError.Empty() ? kStartUpFailed + m_folders.m_sCollectionDir : m_sLastError.Text();
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
    return S_OK;
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
  return S_OK;
}
