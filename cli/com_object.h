// @brief IUnknown for zvv's own objects: one interface, a reference count,
// deleted when the last reference goes.
#pragma once

#include <atomic>

#include "winport/win32.h"

namespace zvv {

// `Interface` is the object's one interface besides IUnknown, `kInterfaceId`
// its identifier. The destructor is declared after every interface member,
// so the interface's method table keeps its positions.
template <class Interface, const IID& kInterfaceId>
class ComObject : public Interface {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != kInterfaceId) return E_NOINTERFACE;
    *ppv = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++m_cRef; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --m_cRef;
    if (left == 0) delete this;
    return left;
  }

 protected:
  ComObject() = default;
  virtual ~ComObject() = default;

 private:
  std::atomic<ULONG> m_cRef{1};
};

}  // namespace zvv
