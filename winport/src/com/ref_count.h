// @brief The reference count and interface answer shared by winport's own
// COM objects.
#pragma once

#include <atomic>

#include "winport/win32.h"

namespace winport {

// Starts at one: the creator holds the first reference.
class RefCount {
 public:
  ULONG Add() { return m_count.fetch_add(1, std::memory_order_relaxed) + 1; }
  // Returns the count left; the caller deletes the object at zero.
  ULONG Drop() { return m_count.fetch_sub(1, std::memory_order_acq_rel) - 1; }

 private:
  std::atomic<ULONG> m_count{1};
};

// Answers riid with `answer` (already cast to the requested interface) when it
// is not null, with a reference added; E_NOINTERFACE otherwise.
inline HRESULT AnswerInterface(IUnknown* answer, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = answer;
  if (!answer) return E_NOINTERFACE;
  answer->AddRef();
  return S_OK;
}

}  // namespace winport
