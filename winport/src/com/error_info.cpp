// Error information: one object per thread that describes the last failure of
// an interface call. CreateErrorInfo makes the object, SetErrorInfo puts it in
// the thread's slot, GetErrorInfo takes it out again.

#include <new>

#include "winport/owners.h"
#include "winport/com_object.h"
#include "winport/win32.h"

namespace {

using winport::Bstr;

class ErrorInfo final : public IErrorInfo, public ICreateErrorInfo {
 public:
  // IUnknown (both bases share it; IErrorInfo is the identity).
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    IUnknown* answer = nullptr;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IErrorInfo)) {
      answer = static_cast<IErrorInfo*>(this);
    } else if (IsEqualIID(riid, IID_ICreateErrorInfo)) {
      answer = static_cast<ICreateErrorInfo*>(this);
    }
    return winport::AnswerInterface(answer, ppv);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return m_refs.Add(); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = m_refs.Drop();
    if (left == 0) delete this;
    return left;
  }

  // IErrorInfo
  HRESULT STDMETHODCALLTYPE GetGUID(GUID* pGUID) override {
    if (!pGUID) return E_INVALIDARG;
    *pGUID = m_guid;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetSource(BSTR* out) override { return CopyOut(m_source, out); }
  HRESULT STDMETHODCALLTYPE GetDescription(BSTR* out) override {
    return CopyOut(m_description, out);
  }
  HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* out) override { return CopyOut(m_helpFile, out); }
  HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* out) override {
    if (!out) return E_INVALIDARG;
    *out = m_helpContext;
    return S_OK;
  }

  // ICreateErrorInfo
  HRESULT STDMETHODCALLTYPE SetGUID(REFGUID rguid) override {
    m_guid = rguid;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetSource(LPOLESTR text) override { return CopyIn(text, &m_source); }
  HRESULT STDMETHODCALLTYPE SetDescription(LPOLESTR text) override {
    return CopyIn(text, &m_description);
  }
  HRESULT STDMETHODCALLTYPE SetHelpFile(LPOLESTR text) override {
    return CopyIn(text, &m_helpFile);
  }
  HRESULT STDMETHODCALLTYPE SetHelpContext(DWORD context) override {
    m_helpContext = context;
    return S_OK;
  }

 private:
  static HRESULT CopyOut(const Bstr& value, BSTR* out) {
    if (!out) return E_INVALIDARG;
    *out = value.Copy().Detach();
    return (*out || value.IsNull()) ? S_OK : E_OUTOFMEMORY;
  }
  static HRESULT CopyIn(LPOLESTR text, Bstr* field) {
    Bstr copy(text);
    if (text && copy.IsNull()) return E_OUTOFMEMORY;
    *field = std::move(copy);
    return S_OK;
  }

  winport::RefCount m_refs;
  GUID m_guid = GUID_NULL;
  Bstr m_source;
  Bstr m_description;
  Bstr m_helpFile;
  DWORD m_helpContext = 0;
};

// The thread's slot releases what it still holds when the thread ends.
struct ErrorSlot {
  winport::ComPtr<IErrorInfo> info;
};
thread_local ErrorSlot t_slot;

}  // namespace

extern "C" HRESULT CreateErrorInfo(ICreateErrorInfo** pperrinfo) {
  if (!pperrinfo) return E_INVALIDARG;
  ErrorInfo* info = new (std::nothrow) ErrorInfo;
  *pperrinfo = info;
  return info ? S_OK : E_OUTOFMEMORY;
}

// Divergence: dwReserved must be 0 as on Windows, but is not checked.
extern "C" HRESULT SetErrorInfo(ULONG dwReserved, IErrorInfo* perrinfo) {
  t_slot.info = winport::ComPtr<IErrorInfo>(perrinfo);
  return S_OK;
}

extern "C" HRESULT GetErrorInfo(ULONG dwReserved, IErrorInfo** pperrinfo) {
  if (!pperrinfo) return E_INVALIDARG;
  *pperrinfo = t_slot.info.Detach();
  return *pperrinfo ? S_OK : S_FALSE;
}
