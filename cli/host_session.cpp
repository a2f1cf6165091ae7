// @brief Starting the component as a host.
#include "cli/host_session.h"

#include <filesystem>
#include <iostream>
#include <system_error>

#include "cli/app_folder.h"
#include "cli/failure.h"
#include "cli/terminal.h"
#include "cli/visible_text.h"
#include "winport/ui_driver.h"

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

// Whether a collection has been built: a declined or failed first build
// leaves its folders behind, but no file in them.
bool HoldsIndex(const std::string& collectionFolder) {
  std::error_code error;
  for (std::filesystem::recursive_directory_iterator it(collectionFolder, error), end;
       !error && it != end; it.increment(error)) {
    if (it->is_regular_file(error)) return true;
  }
  return false;
}

}  // namespace

bool ShowUI(const Options& options) {
  if (options.m_showUI) return *options.m_showUI;
  return IsTerminal(Stream::kInput) && IsTerminal(Stream::kOutput) && !DumbTerminal();
}

HostSession::~HostSession() {
  m_component.Release();
  m_registration.Revoke();
  if (m_apartment) CoUninitialize();
}

bool HostSession::ChooseFolder(const Options& options) {
  const ChosenFolder chosen = ChooseInstallDir(options.m_installDir);
  m_installDir = chosen.m_installDir;
  if (m_installDir.empty()) {
    std::cerr << "zvv: the bundled sample application was not found; name an application "
                 "folder with --install-dir or ZVV_INSTALL_DIR\n";
    return false;
  }
  m_helpDir = HelpFolder(m_installDir);
  if (!IsFolder(m_helpDir)) {
    std::cerr << "zvv: Help folder not found: " << VisibleText(m_helpDir)
              << (chosen.m_source == FolderSource::kEnvironment ? " (from ZVV_INSTALL_DIR)" : "")
              << '\n';
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
  const bool showUI = ShowUI(options);
  if (options.m_showUI.value_or(false) &&
      WinportCurrentDisplay() == WinportDisplayKind::kHeadless) {
    std::cerr << "zvv: --ui cannot ask or show progress here: "
              << (DumbTerminal() ? "the terminal cannot redraw (TERM=dumb)"
                                 : "standard input and error are not both a terminal")
              << '\n';
  }
  const std::string collection = CollectionFolder(m_installDir);
  const bool hadIndex = HoldsIndex(collection);
  // No watcher unless a command turns AutoRefresh on: a one-shot command would
  // only wait for its end.
  m_component->put_AutoRefresh(0);
  hr = m_component->Initialize(showUI ? 1 : 0);
  if (FAILED(hr) && showUI && !hadIndex && !HoldsIndex(collection)) {
    std::cerr << "zvv: no help index exists in " << VisibleText(collection)
              << ": building it was declined or did not finish. Run 'zvv index' and answer "
                 "yes, or add --no-ui to build it without asking.\n";
    return kExitFailure;
  }
  if (FAILED(hr)) return ReportComponentFailure("opening the help index", hr);
  // The index opened as it was: the component says why it is not up to date.
  if (hr == S_FALSE) m_startWarning = ComponentErrorText();
  return kExitOk;
}

void HostSession::WarnFromComponent() { Warn(ComponentErrorText()); }

void HostSession::Warn(const std::string& text) {
  if (text.empty() || text == m_lastWarning) return;
  m_lastWarning = text;
  std::cerr << "zvv: warning: " << VisibleText(text) << '\n';
}

}  // namespace zvv
