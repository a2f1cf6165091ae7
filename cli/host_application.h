// @brief zvv's host application object: what the component learns about its host.
#pragma once

#include <string>

#include "component/host/host_application.h"
#include "winport/com_object.h"
#include "winport/win32.h"

namespace zvv {

struct HostSettings {
  // Absolute, ending with a path separator, as the component expects.
  std::string m_installDir;
  // The window standing for the terminal; null when the platform has none.
  HWND m_window = nullptr;
  // The terminal's rectangle in screen pixels.
  RECT m_rect = {0, 0, 0, 0};
};

// The host application object. Reference counted; deletes itself at zero.
class TerminalHost final : public winport::ComObject<HostApplicationStub> {
 public:
  explicit TerminalHost(HostSettings settings);

  STDMETHODIMP get_Width(LONG* pWidth) override;
  STDMETHODIMP get_Height(LONG* pHeight) override;
  STDMETHODIMP get_Top(LONG* pTop) override;
  STDMETHODIMP get_Left(LONG* pLeft) override;
  STDMETHODIMP get_HostWindow(LONG_PTR* phwnd) override;
  STDMETHODIMP get_InstallDir(VARIANT* pDir) override;
  STDMETHODIMP GetValue(LONG nNumber, VARIANT* pValue) override;

 private:
  const HostSettings m_settings;
};

// The class object that the component reaches through CoCreateInstance.
class TerminalHostFactory final : public winport::ComObject<IClassFactory> {
 public:
  explicit TerminalHostFactory(HostSettings settings);

  STDMETHODIMP CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override;
  STDMETHODIMP LockServer(BOOL fLock) override;

 private:
  const HostSettings m_settings;
};

// Publishes the host application's class object for the lifetime of the owner.
class HostRegistration {
 public:
  HostRegistration() = default;
  HostRegistration(const HostRegistration&) = delete;
  HostRegistration& operator=(const HostRegistration&) = delete;
  ~HostRegistration();

  [[nodiscard]] HRESULT Register(const HostSettings& settings);
  void Revoke();

 private:
  DWORD m_cookie = 0;
  bool m_registered = false;
};

}  // namespace zvv
