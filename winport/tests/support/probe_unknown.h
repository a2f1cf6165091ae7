// @brief A minimal COM object whose reference count tests can read, to check
// that winport adds and releases exactly the references it should.
#pragma once

#include "winport/win32.h"

namespace winport_test {

// Answers IUnknown and one extra interface id. The test owns the object (it is
// never deleted by Release), so the count can be read after the last release.
class ProbeUnknown : public IUnknown {
 public:
  explicit ProbeUnknown(const IID& extra = IID_NULL) : m_extra(extra) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || (!IsEqualIID(m_extra, IID_NULL) && riid == m_extra)) {
      *ppv = this;
      AddRef();
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }

  // References held by others than the test's own (which starts at zero).
  ULONG Refs() const { return m_refs; }

 private:
  IID m_extra;
  ULONG m_refs = 0;
};

}  // namespace winport_test
