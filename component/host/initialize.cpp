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
  try {
    StartWatcher();
  } catch (...) {
    // The watcher's outcome does not change the result.
  }
  return S_OK;
}
