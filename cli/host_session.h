// @brief The host side of one zvv run: apartment, host object, component.
#pragma once

#include <string>

#include "cli/component_loader.h"
#include "cli/host_application.h"
#include "cli/options.h"

namespace zvv {

// Members are torn down in reverse order: the component first (it lets go of
// the host object), then the host's class object, then the apartment.
class HostSession {
 public:
  HostSession() = default;
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;
  ~HostSession();

  // Resolves the application folder and checks that its Help folder exists.
  // Prints the reason and returns false when it does not.
  bool ChooseFolder(const Options& options);

  // Publishes the host object, creates the component and initializes it.
  // Prints the failure and returns its exit code, else kExitOk.
  int Start(const Options& options);

  // Why the index the component opened does not follow the Help folder (an
  // update it could not make or write), or "" when it does.
  const std::string& StartWarning() const { return m_startWarning; }
  // After a call that returned S_FALSE: prints the component's reason as a
  // warning, unless it is the one printed last.
  void WarnFromComponent();
  // Prints `text` as a warning, unless it is the one printed last.
  void Warn(const std::string& text);

  IViveviVadiro* Component() const { return m_component.Get(); }
  const std::string& InstallDir() const { return m_installDir; }
  const std::string& HelpDir() const { return m_helpDir; }

 private:
  bool m_apartment = false;
  HostRegistration m_registration;
  ComponentInstance m_component;
  std::string m_installDir;
  std::string m_helpDir;
  std::string m_startWarning;
  std::string m_lastWarning;
};

// The component may ask and show progress: by choice, else on a terminal
// that can draw (TERM is not "dumb").
bool ShowUI(const Options& options);

}  // namespace zvv
