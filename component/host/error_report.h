// @brief Describing a failing interface call to the host through the thread's
// error object, and the object's answer that its interface does so.
#pragma once

#include <string>

#include "winport/win32.h"

// The source every error object of the component names: its program
// identifier, as hosts create it by name.
inline constexpr char kErrorSource[] = "Torvane.ViveviVadiro";

// Puts an error object describing sDescription (narrow text) for the
// component's interface in the thread's slot and returns hr, so that a member
// ends with `return ReportError(hr, ...)`. The HRESULT stays what it was even
// when no error object can be made.
HRESULT ReportError(HRESULT hr, const std::string& sDescription);

// The object's ISupportErrorInfo: yes for the component's interface (and the
// IDispatch it derives from), no for any other. Its references are counted on
// the controlling unknown, which also answers its QueryInterface.
class ErrorInfoSupport final : public ISupportErrorInfo {
 public:
  explicit ErrorInfoSupport(IUnknown* pControlling) : m_pControlling(pControlling) {}

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    return m_pControlling->QueryInterface(riid, ppv);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return m_pControlling->AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return m_pControlling->Release(); }
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID riid) override;

 private:
  IUnknown* m_pControlling;
};
