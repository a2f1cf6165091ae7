// @brief The component as the help server's search service.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>

#include "cli/options.h"
#include "cli/serve/search_service.h"

namespace zvv {

class HostSession;

// The component lives in a single-threaded apartment: it is created, called
// and released on one thread of its own, to which the server's threads hand
// their searches one at a time.
class ComponentService final : public SearchService {
 public:
  ComponentService() = default;
  ~ComponentService() override;
  ComponentService(const ComponentService&) = delete;
  ComponentService& operator=(const ComponentService&) = delete;

  // Chooses the application folder, starts the component with AutoRefresh on,
  // and returns kExitOk, else prints why and returns the exit code.
  int Start(const Options& options);

  const std::string& InstallDir() const { return m_installDir; }
  const std::string& HelpDir() const { return m_helpDir; }

  SearchAnswer Search(const SearchRequest& request) override;
  IndexStatus Status() override;

 private:
  void Serve(const Options& options, std::promise<int> started);
  // Runs `job` on the component's thread and waits for it.
  void RunOnComponentThread(const std::function<void()>& job);

  std::thread m_thread;
  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::deque<std::packaged_task<void()>> m_jobs;
  bool m_stopping = false;
  HostSession* m_session = nullptr;  // owned by the component thread
  std::string m_installDir;
  std::string m_helpDir;
};

}  // namespace zvv
