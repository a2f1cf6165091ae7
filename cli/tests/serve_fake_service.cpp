// @brief Test support for the help server.
#include "cli/tests/serve_fake_service.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <stdexcept>

namespace zvv::testing {

SearchAnswer FakeService::Search(const SearchRequest& request) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_last = request;
  ++m_searches;
  return m_answer;
}

IndexStatus FakeService::Status() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_status;
}

void FakeService::SetAnswer(SearchAnswer answer) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_answer = std::move(answer);
}

void FakeService::SetStatus(IndexStatus status) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_status = std::move(status);
}

SearchRequest FakeService::LastRequest() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_last;
}

std::string RawResponse::Header(const std::string& name) const {
  const auto lower = [](std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
  };
  const std::string headers = lower(m_headers);
  const std::string key = "\r\n" + lower(name) + ": ";
  const auto at = headers.find(key);
  if (at == std::string::npos) return {};
  const auto start = at + key.size();
  return m_headers.substr(start, m_headers.find("\r\n", start) - start);
}

RawResponse SendRaw(int port, const std::string& request) {
  const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
  if (sock < 0) throw std::runtime_error("socket failed");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  timeval timeout{10, 0};
  ::setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  if (::connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(sock);
    throw std::runtime_error("connect failed");
  }
  std::string text = request;
  // One request per connection: the server closes after answering.
  text.insert(text.size() - 2, "Connection: close\r\n");
  ::send(sock, text.data(), text.size(), MSG_NOSIGNAL);
  std::string answer;
  char buffer[4096];
  for (ssize_t got; (got = ::recv(sock, buffer, sizeof buffer, 0)) > 0;) answer.append(buffer, got);
  ::close(sock);
  RawResponse response;
  const auto headerEnd = answer.find("\r\n\r\n");
  if (answer.rfind("HTTP/1.1 ", 0) != 0 || headerEnd == std::string::npos) return response;
  response.m_status = std::stoi(answer.substr(9, 3));
  response.m_headers = answer.substr(0, headerEnd + 2);
  response.m_body = answer.substr(headerEnd + 4);
  return response;
}

ServedHelp::ServedHelp() : m_server(m_service, m_app.Help()) {
  m_port = m_server.Bind(0);
  if (m_port <= 0) throw std::runtime_error("the help server could not bind a port");
  m_listener = std::thread([this] { m_server.Listen(); });
  // Once a request is answered the server is running, and Stop will end it.
  Request("/");
}

ServedHelp::~ServedHelp() {
  m_server.Stop();
  m_listener.join();
}

RawResponse ServedHelp::Request(const std::string& target, const std::string& method) {
  return SendRaw(m_port, method + " " + target +
                             " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(m_port) + "\r\n\r\n");
}

}  // namespace zvv::testing
