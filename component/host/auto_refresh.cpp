// @brief The AutoRefresh property and the component's help-folder watcher.
#include "component/com/vivevi_vadiro.h"

bool ViveviVadiro::StartWatcher() { return m_watcher.Start(m_folders.m_sHelpDir); }

bool ViveviVadiro::StopWatcher() { return m_watcher.Stop(); }

STDMETHODIMP ViveviVadiro::get_AutoRefresh(LONG* pVal) {
  if (!pVal) {
    return E_INVALIDARG;
  }
  *pVal = m_bAutoRefresh ? 1 : 0;
  return S_OK;
}

STDMETHODIMP ViveviVadiro::put_AutoRefresh(LONG newVal) {
  try {
    const bool bRequested = newVal != 0;
    if (bRequested == m_bAutoRefresh) {
      return S_OK;
    }
    if (!(bRequested ? StartWatcher() : StopWatcher())) {
      return E_FAIL;
    }
    m_bAutoRefresh = bRequested;
    return S_OK;
  } catch (...) {
    return E_FAIL;
  }
}
