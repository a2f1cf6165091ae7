// @brief The help server over a scripted search service, on an ephemeral
// port, with a raw HTTP client that sends request lines exactly as written.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "cli/serve/server.h"
#include "cli/tests/support/zvv_process.h"

namespace zvv::testing {

// Answers every search with the answer set last and remembers what it was
// asked. The server's threads learn of the test's settings only through the
// socket, which orders nothing for the race detector: all goes through a lock.
class FakeService final : public SearchService {
 public:
  SearchAnswer Search(const SearchRequest& request) override;
  IndexStatus Status() override;

  void SetAnswer(SearchAnswer answer);
  void SetStatus(IndexStatus status);
  SearchRequest LastRequest();
  int Searches() const { return m_searches; }

 private:
  std::mutex m_mutex;
  SearchAnswer m_answer;
  IndexStatus m_status;
  SearchRequest m_last;
  std::atomic<int> m_searches{0};
};

struct RawResponse {
  int m_status = 0;
  std::string m_headers;  // the header lines, as sent
  std::string m_body;
  // The value of header `name` (matched without regard to case), or "".
  std::string Header(const std::string& name) const;
};

// Sends `request` (a whole request: line, headers and blank line) to
// 127.0.0.1:`port` and reads the answer until the server closes.
RawResponse SendRaw(int port, const std::string& request);

// A help server over a FakeService and a temporary application folder,
// listening until the end of the test.
class ServedHelp {
 public:
  ServedHelp();
  ~ServedHelp();
  ServedHelp(const ServedHelp&) = delete;
  ServedHelp& operator=(const ServedHelp&) = delete;

  // GET (or another method) of `target` with this server's own Host header.
  RawResponse Request(const std::string& target, const std::string& method = "GET");

  TempApp m_app;
  FakeService m_service;
  int m_port = -1;

 private:
  HelpServer m_server;
  std::thread m_listener;
};

}  // namespace zvv::testing
