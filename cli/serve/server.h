// @brief The help server: the viewer, the Help folder's files and the search API.
#pragma once

#include <filesystem>
#include <memory>

#include "cli/serve/search_service.h"

namespace zvv {

// Listens on 127.0.0.1 only. Routes:
//   /                 the viewer (index.html), /viewer.css, /viewer.js
//   /help/<path>      a file of the Help folder, as FindHelpFile allows
//   /api/search       ?q=QUERY[&titles=1][&dir=TEXT…][&limit=N] → SearchAnswerJson
//   /api/status       StatusJson
// Every answer carries a strict Content-Security-Policy and nosniff; requests
// whose Host is not this server's loopback address, and every method but GET
// and HEAD, are refused before any route.
class HelpServer {
 public:
  HelpServer(SearchService& service, std::filesystem::path helpFolder);
  ~HelpServer();
  HelpServer(const HelpServer&) = delete;
  HelpServer& operator=(const HelpServer&) = delete;

  // Binds 127.0.0.1:`port`, any free port for 0. Returns the port, or -1.
  int Bind(int port);
  // Answers requests until Stop; false when it could not start.
  bool Listen();
  // Ends Listen from any thread; waits for nothing.
  void Stop();

 private:
  class Routes;
  std::unique_ptr<Routes> m_routes;
};

}  // namespace zvv
