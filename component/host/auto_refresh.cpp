// @brief The AutoRefresh property and the component's help-folder watcher.
#include "component/com/vivevi_vadiro.h"
#include "component/host/error_report.h"
#include "component/toolkit/failure_texts.h"

bool ViveviVadiro::StartWatcher(FolderWatcher::Arming arming) {
  return m_watcher.Start(m_folders.m_sHelpDir, arming);
}

bool ViveviVadiro::StopWatcher() { return m_watcher.Stop(); }

STDMETHODIMP ViveviVadiro::get_AutoRefresh(LONG* pVal) {
  if (!pVal) {
    return ReportError(E_INVALIDARG, kAutoRefreshArgumentMissing);
  }
  *pVal = m_bAutoRefresh ? 1 : 0;
  return S_OK;
}

STDMETHODIMP ViveviVadiro::put_AutoRefresh(LONG newVal) {
  try {
    const bool bRequested = newVal != 0;
    m_bWatchingDeclined = !bRequested;
    if (!bRequested && !m_bAutoRefresh) {
      // Off while off: the watcher Initialize starts ends, or is never
      // started. A host that searches once and exits says so beforehand, and
      // pays neither for the walk of the help tree nor for its teardown.
      StopWatcher();
      return S_OK;
    }
    // A watcher that ended by itself (its folder went away) is started again
    // when the host asks for the property once more.
    const bool bRestart = bRequested && !m_watcher.IsRunning();
    if (bRequested == m_bAutoRefresh && !bRestart) {
      return S_OK;
    }
    if (bRequested && !StartWatcher()) {
      return ReportError(E_FAIL, kWatcherStartFailed + m_watcher.EndReason());
    }
    if (!bRequested && !StopWatcher()) {
      return ReportError(E_FAIL, kNoWatcherToStop);
    }
    m_bAutoRefresh = bRequested;
    return S_OK;
  } catch (const std::exception& error) {
    return ReportError(E_FAIL, error.what());
  } catch (...) {
    return ReportError(E_FAIL, kUnexpectedFailure);
  }
}
