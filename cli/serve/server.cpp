// @brief Routes and request checks of the help server.
#include "cli/serve/server.h"

#include <httplib.h>

#include <charconv>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "cli/serve/api_json.h"
#include "cli/serve/content_type.h"
#include "cli/serve/help_files.h"
#include "cli/serve/request_guard.h"
#include "cli/serve/viewer_assets.h"

namespace zvv {
namespace {

constexpr char kLoopback[] = "127.0.0.1";
constexpr char kJson[] = "application/json";
constexpr std::size_t kDefaultLimit = 100;

// Scripts, styles, frames and requests come from this server alone, and no
// inline script runs, not even in a help page: the only script is the viewer's.
constexpr char kContentSecurityPolicy[] =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
    "font-src 'self'; media-src 'self'; frame-src 'self'; connect-src 'self'; "
    "base-uri 'self'; form-action 'none'; frame-ancestors 'self'";

httplib::Headers SafetyHeaders() {
  return {{"Content-Security-Policy", kContentSecurityPolicy},
          {"X-Content-Type-Options", "nosniff"},
          {"X-Frame-Options", "SAMEORIGIN"},
          {"Referrer-Policy", "no-referrer"},
          {"Cache-Control", "no-cache"}};
}

bool ReadFile(const std::filesystem::path& file, std::string& body) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  body.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

std::size_t LimitOf(const httplib::Request& request) {
  if (!request.has_param("limit")) return kDefaultLimit;
  const std::string text = request.get_param_value("limit");
  std::size_t value = kDefaultLimit;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

SearchRequest SearchRequestOf(const httplib::Request& request) {
  SearchRequest search;
  search.m_query = request.get_param_value("q");
  search.m_titleOnly = request.get_param_value("titles") == "1";
  const std::size_t dirs = request.get_param_value_count("dir");
  for (std::size_t i = 0; i < dirs; ++i) {
    std::string dir = request.get_param_value("dir", i);
    if (!dir.empty()) search.m_dirs.push_back(std::move(dir));
  }
  return search;
}

}  // namespace

class HelpServer::Routes {
 public:
  Routes(SearchService& service, std::filesystem::path helpFolder)
      : m_service(service), m_helpFolder(std::move(helpFolder)) {
    m_server.set_default_headers(SafetyHeaders());
    // The library's default also shares the port with any other listener
    // (SO_REUSEPORT), so a second server on a taken port would start and get
    // half the requests; only the address is reused, for a quick restart.
    m_server.set_socket_options([](socket_t sock) {
      int yes = 1;
      setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    m_server.set_pre_routing_handler(
        [this](const httplib::Request& request, httplib::Response& response) {
          return Admit(request, response) ? httplib::Server::HandlerResponse::Unhandled
                                          : httplib::Server::HandlerResponse::Handled;
        });
    m_server.Get("/", [](const httplib::Request&, httplib::Response& response) {
      SendAsset("index.html", response);
    });
    m_server.Get(R"(/([a-z]+\.(css|js)))",
                 [](const httplib::Request& request, httplib::Response& response) {
                   SendAsset(request.matches[1].str(), response);
                 });
    m_server.Get(R"(/help/(.*))",
                 [this](const httplib::Request& request, httplib::Response& response) {
                   SendHelpFile(request.matches[1].str(), response);
                 });
    m_server.Get("/api/search",
                 [this](const httplib::Request& request, httplib::Response& response) {
                   SendSearch(request, response);
                 });
    m_server.Get("/api/status", [this](const httplib::Request&, httplib::Response& response) {
      response.set_content(StatusJson(m_service.Status()), kJson);
    });
  }

  httplib::Server& Server() { return m_server; }
  void SetPort(int port) { m_port = port; }

 private:
  bool Admit(const httplib::Request& request, httplib::Response& response) const {
    if (!IsOwnHost(request.get_header_value("Host"), m_port)) {
      response.status = 403;
      response.set_content("This server answers only to its own loopback address.\n", "text/plain");
      return false;
    }
    if (!IsReadMethod(request.method)) {
      response.status = 405;
      response.set_header("Allow", "GET, HEAD");
      response.set_content("Only GET and HEAD are answered.\n", "text/plain");
      return false;
    }
    return true;
  }

  static void SendAsset(const std::string& name, httplib::Response& response) {
    const std::string_view* asset = FindViewerAsset(name);
    if (!asset) {
      response.status = 404;
      return;
    }
    response.set_content(std::string(*asset), std::string(ContentTypeFor(name)));
  }

  void SendHelpFile(const std::string& relative, httplib::Response& response) const {
    const auto file = FindHelpFile(m_helpFolder, relative);
    std::string body;
    if (!file || !ReadFile(*file, body)) {
      response.status = 404;
      response.set_content("No such help file.\n", "text/plain");
      return;
    }
    response.set_content(body, std::string(ContentTypeFor(file->filename().string())));
  }

  void SendSearch(const httplib::Request& request, httplib::Response& response) {
    const SearchRequest search = SearchRequestOf(request);
    SearchAnswer answer;
    // An empty box asks nothing: no hits rather than the component's refusal.
    if (!search.m_query.empty()) answer = m_service.Search(search);
    if (!answer.m_error.empty()) response.status = answer.m_column > 0 ? 400 : 500;
    response.set_content(SearchAnswerJson(answer, LimitOf(request)), kJson);
  }

  SearchService& m_service;
  const std::filesystem::path m_helpFolder;
  httplib::Server m_server;
  int m_port = 0;
};

HelpServer::HelpServer(SearchService& service, std::filesystem::path helpFolder)
    : m_routes(std::make_unique<Routes>(service, std::move(helpFolder))) {}

HelpServer::~HelpServer() = default;

int HelpServer::Bind(int port) {
  const int bound = port == 0 ? m_routes->Server().bind_to_any_port(kLoopback)
                              : (m_routes->Server().bind_to_port(kLoopback, port) ? port : -1);
  if (bound > 0) m_routes->SetPort(bound);
  return bound > 0 ? bound : -1;
}

bool HelpServer::Listen() { return m_routes->Server().listen_after_bind(); }

void HelpServer::Stop() { m_routes->Server().stop(); }

}  // namespace zvv
