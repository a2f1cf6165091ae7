// @brief Initialize: the host's settings, session start-up, then the watcher.
#include "component/com/vivevi_vadiro.h"

STDMETHODIMP ViveviVadiro::Initialize(LONG bShowUI) {
  HRESULT hr = E_FAIL;
  try {
    m_bShowUI = bShowUI != 0;
    ReadHostSettings();
    hr = StartSession(m_bShowUI) ? S_OK : E_FAIL;
  } catch (...) {
    hr = E_FAIL;
  }
  if (hr == S_OK) {
    try {
      StartWatcher();
    } catch (...) {
      // The watcher's outcome does not change the result.
    }
  }
  return hr;
}
