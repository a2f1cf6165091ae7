// @brief Starting the component as a host.
#include "cli/host_session.h"

#include <iostream>

#include "cli/app_folder.h"
#include "cli/failure.h"
#include "cli/terminal.h"

namespace zvv {
namespace {

// Character cell of the rectangle reported for the terminal, in pixels.
constexpr LONG kCellWidth = 8;
constexpr LONG kCellHeight = 16;

HostSettings SettingsFor(const std::string& installDir) {
  const TerminalSize size = GetTerminalSize();
  HostSettings settings;
  settings.m_installDir = installDir;
  // The platform layer offers no window for a terminal, so the prompt and the
  // progress display have no owner.
  settings.m_window = nullptr;
  settings.m_rect = {0, 0, static_cast<LONG>(size.m_columns) * kCellWidth,
                     static_cast<LONG>(size.m_rows) * kCellHeight};
  return settings;
}

}  // namespace

bool ShowUI(const Options& options) {
  if (options.m_showUI) return *options.m_showUI;
  return IsTerminal(Stream::kInput) && IsTerminal(Stream::kOutput);
}

HostSession::~HostSession() {
  m_component.Release();
  m_registration.Revoke();
  if (m_apartment) CoUninitialize();
}

bool HostSession::ChooseFolder(const Options& options) {
  if (options.m_installDir.empty()) {
    m_installDir = DefaultInstallDir();
    if (m_installDir.empty()) {
      std::cerr << "zvv: the bundled sample application was not found; "
                   "name an application folder with --install-dir\n";
      return false;
    }
  } else {
    m_installDir = InstallDirForHost(options.m_installDir);
  }
  m_helpDir = HelpFolder(m_installDir);
  if (!IsFolder(m_helpDir)) {
    std::cerr << "zvv: Help folder not found: " << m_helpDir << '\n';
    return false;
  }
  return true;
}

int HostSession::Start(const Options& options) {
  if (!EnsureToolkitFolder(m_installDir)) {
    std::cerr << "zvv: cannot make the index folder " << m_installDir << "dizode"
              << "; is the application folder writable?\n";
    return kExitFailure;
  }
  HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(hr)) return ReportFailure("starting the component runtime", hr);
  m_apartment = true;
  hr = m_registration.Register(SettingsFor(m_installDir));
  if (FAILED(hr)) return ReportFailure("publishing the host application object", hr);
  hr = m_component.Create();
  if (FAILED(hr)) return ReportFailure("creating the help search component", hr);
  hr = m_component->Initialize(ShowUI(options) ? 1 : 0);
  if (FAILED(hr)) return ReportComponentFailure("opening the help index", hr);
  return kExitOk;
}

}  // namespace zvv
