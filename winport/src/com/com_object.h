// @brief IUnknown for winport's own objects that offer one interface.
#pragma once

#include "winport/src/com/ref_count.h"
#include "winport/win32.h"

namespace winport {

// Implements IUnknown for an object that offers one interface besides it.
template <class Interface>
class ComObject : public Interface {
 public:
  explicit ComObject(const IID& iid) : m_iid(iid) {}
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    const bool known = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, m_iid);
    return AnswerInterface(known ? this : nullptr, ppv);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return m_refs.Add(); }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = m_refs.Drop();
    if (left == 0) {
      delete this;
    }
    return left;
  }

 protected:
  virtual ~ComObject() = default;

 private:
  RefCount m_refs;
  const IID& m_iid;
};

}  // namespace winport
