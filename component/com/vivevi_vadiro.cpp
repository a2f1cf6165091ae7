// @brief The component object's life: construction, identity, dispatch,
// GetOffsets and teardown.
#include "component/com/vivevi_vadiro.h"

#include "component/com/type_info_holder.h"
#include "component/com/module_lock.h"
#include "winport/com_object.h"
#include "winport/owners.h"

ViveviVadiro::ViveviVadiro(IUnknown* pOuter)
    : m_inner(this),
      m_pControllingUnknown(pOuter ? pOuter : &m_inner),
      m_errorSupport(m_pControllingUnknown) {
  AddTypeInfoUser();
  LockModule();
}

ViveviVadiro::~ViveviVadiro() {
  Teardown();
  UnlockModule();
}

void ViveviVadiro::Teardown() {
  m_handles.Close();
  // The watcher's thread must have ended before its owner's memory goes.
  m_watcher.Stop();
  m_pHost.Reset();
  m_docs.clear();
  RemoveTypeInfoUser();
}

// --- IUnknown ------------------------------------------------------------------

STDMETHODIMP ViveviVadiro::Inner::QueryInterface(REFIID riid, void** ppv) {
  ViveviVadiro* pOwner = m_pOwner;
  // Aggregated, the inner unknown is the object's own identity; every other
  // interface counts its references on the controlling object.
  const bool bAggregated = pOwner->m_pControllingUnknown != this;
  if (bAggregated && IsEqualIID(riid, IID_IUnknown)) {
    return winport::AnswerQueryInterface(this, riid, ppv, {});
  }
  if (IsEqualIID(riid, IID_ISupportErrorInfo)) {
    return winport::AnswerInterface(&pOwner->m_errorSupport, ppv);
  }
  return winport::AnswerQueryInterface(pOwner, riid, ppv, {&IID_IDispatch, &IID_IViveviVadiro});
}

STDMETHODIMP_(ULONG) ViveviVadiro::Inner::AddRef() { return m_pOwner->m_refs.Add(); }

STDMETHODIMP_(ULONG) ViveviVadiro::Inner::Release() {
  ViveviVadiro* pOwner = m_pOwner;
  const ULONG n = pOwner->m_refs.Drop();
  if (n == 0) {
    delete pOwner;
  }
  return n;
}

STDMETHODIMP ViveviVadiro::QueryInterface(REFIID riid, void** ppv) {
  return m_pControllingUnknown->QueryInterface(riid, ppv);
}
STDMETHODIMP_(ULONG) ViveviVadiro::AddRef() { return m_pControllingUnknown->AddRef(); }
STDMETHODIMP_(ULONG) ViveviVadiro::Release() { return m_pControllingUnknown->Release(); }

// --- IDispatch -----------------------------------------------------------------

STDMETHODIMP ViveviVadiro::GetTypeInfoCount(UINT* pctinfo) {
  if (!pctinfo) {
    return E_POINTER;
  }
  *pctinfo = 1;
  return S_OK;
}

STDMETHODIMP ViveviVadiro::GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) {
  if (!ppTInfo) {
    return E_POINTER;
  }
  *ppTInfo = nullptr;
  if (iTInfo != 0) {
    return DISP_E_BADINDEX;
  }
  return GetViveviVadiroTypeInfo(lcid, ppTInfo);
}

STDMETHODIMP ViveviVadiro::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                         DISPID* rgDispId) {
  if (!IsEqualIID(riid, IID_NULL)) {
    return DISP_E_UNKNOWNINTERFACE;
  }
  winport::ComPtr<ITypeInfo> pTypeInfo;
  HRESULT hr = GetViveviVadiroTypeInfo(lcid, pTypeInfo.Put());
  if (FAILED(hr)) {
    return hr;
  }
  return DispGetIDsOfNames(pTypeInfo.Get(), rgszNames, cNames, rgDispId);
}

STDMETHODIMP ViveviVadiro::Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                  DISPPARAMS* pDispParams, VARIANT* pVarResult,
                                  EXCEPINFO* pExcepInfo, UINT* puArgErr) {
  SetErrorInfo(0, nullptr);
  if (!IsEqualIID(riid, IID_NULL)) {
    return DISP_E_UNKNOWNINTERFACE;
  }
  winport::ComPtr<ITypeInfo> pTypeInfo;
  HRESULT hr = GetViveviVadiroTypeInfo(lcid, pTypeInfo.Put());
  if (FAILED(hr)) {
    return hr;
  }
  IViveviVadiro* pSelf = this;
  return DispInvoke(pSelf, pTypeInfo.Get(), dispIdMember, wFlags, pDispParams, pVarResult,
                    pExcepInfo, puArgErr);
}

// --- GetOffsets ----------------------------------------------------------------

STDMETHODIMP ViveviVadiro::GetOffsets(BSTR sDocName, VARIANT* pResults) {
  if (!pResults || !sDocName) {
    return ReportError(E_INVALIDARG, "GetOffsets needs a document name and a place for the result");
  }
  return ReportError(E_NOTIMPL, "GetOffsets is not provided");
}
