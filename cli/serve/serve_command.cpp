// @brief Runs the help server until the process ends.
#include "cli/serve/serve_command.h"

#include <iostream>
#include <string>

#include "cli/desktop_open.h"
#include "cli/failure.h"
#include "cli/serve/component_service.h"
#include "cli/serve/server.h"
#include "cli/visible_text.h"

namespace zvv {
namespace {

// The browser is left running on its own, so only a missing opener can be told.
void OpenInBrowser(const std::string& address) {
  const std::string opener = FindDesktopOpener();
  if (opener.empty()) {
    std::cerr << "zvv: no xdg-open to open a browser with; open " << address << " yourself\n";
    return;
  }
  StartWithDesktop(opener, address);
}

}  // namespace

int RunServe(const Options& options) {
  ComponentService service;
  if (const int code = service.Start(options); code != kExitOk) return code;
  HelpServer server(service, service.HelpDir());
  const int port = server.Bind(options.m_port);
  if (port < 0) {
    std::cerr << "zvv: cannot listen on 127.0.0.1 port " << options.m_port
              << "; is it taken? --port 0 picks a free one\n";
    return kExitFailure;
  }
  const std::string address = "http://127.0.0.1:" + std::to_string(port) + "/";
  std::cout << "Serving the help in " << VisibleText(service.HelpDir()) << " at " << address
            << " (Ctrl-C ends)" << std::endl;
  if (options.m_open) OpenInBrowser(address);
  if (!server.Listen()) {
    std::cerr << "zvv: the help server stopped on an error\n";
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace zvv
