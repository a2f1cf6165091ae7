// @brief IUnknown for objects written in this code base: the reference
// count, the QueryInterface answer, and a base for objects that offer one
// interface besides IUnknown.
//
// Written only in terms of the Windows API, like winport/owners.h, so that
// the same header serves the Windows build and the POSIX build.
#pragma once

#include <atomic>
#include <initializer_list>

#include "winport/win32.h"

namespace winport {

// A reference count that any thread may change. It starts at one (the
// creator's reference) unless the owner says otherwise.
class RefCount {
 public:
  explicit RefCount(ULONG initial = 1) : m_count(initial) {}
  ULONG Add() { return m_count.fetch_add(1, std::memory_order_relaxed) + 1; }
  // Returns the count left; the caller deletes the object at zero.
  ULONG Drop() { return m_count.fetch_sub(1, std::memory_order_acq_rel) - 1; }

 private:
  std::atomic<ULONG> m_count;
};

// Answers a query with `answer` (already cast to the requested interface)
// when it is not null, with a reference added; E_NOINTERFACE otherwise, and
// E_POINTER for a null ppv. *ppv is null on failure.
inline HRESULT AnswerInterface(IUnknown* answer, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = answer;
  if (!answer) return E_NOINTERFACE;
  answer->AddRef();
  return S_OK;
}

// Answers riid with pSelf when it is IUnknown or one of ids.
inline HRESULT AnswerQueryInterface(IUnknown* pSelf, REFIID riid, void** ppv,
                                    std::initializer_list<const IID*> ids) {
  bool known = IsEqualIID(riid, IID_IUnknown);
  for (const IID* pId : ids) {
    known = known || IsEqualIID(riid, *pId);
  }
  return AnswerInterface(known ? pSelf : nullptr, ppv);
}

// Implements IUnknown for an object that offers `Interface` besides it and
// deletes itself when the last reference goes. The destructor is declared
// after every interface member, so the interface's method table keeps its
// positions.
template <class Interface>
class ComObject : public Interface {
 public:
  explicit ComObject(const IID& iid) : m_iid(iid) {}
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    return AnswerQueryInterface(this, riid, ppv, {&m_iid});
  }
  STDMETHODIMP_(ULONG) AddRef() override { return m_refs.Add(); }
  STDMETHODIMP_(ULONG) Release() override {
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
