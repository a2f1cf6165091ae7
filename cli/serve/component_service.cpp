// @brief Searches through the component on its own thread.
#include "cli/serve/component_service.h"

#include "cli/failure.h"
#include "cli/host_session.h"
#include "cli/serve/index_status.h"

namespace zvv {

ComponentService::~ComponentService() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stopping = true;
  }
  m_wake.notify_all();
  if (m_thread.joinable()) m_thread.join();
}

int ComponentService::Start(const Options& options) {
  std::promise<int> started;
  std::future<int> code = started.get_future();
  m_thread = std::thread(&ComponentService::Serve, this, options, std::move(started));
  return code.get();
}

void ComponentService::Serve(const Options& options, std::promise<int> started) {
  HostSession session;
  if (!session.ChooseFolder(options)) {
    started.set_value(kExitFailure);
    return;
  }
  m_installDir = session.InstallDir();
  m_helpDir = session.HelpDir();
  if (const int code = session.Start(options); code != kExitOk) {
    started.set_value(code);
    return;
  }
  // A change to the Help folder is seen by the next search.
  if (const HRESULT hr = session.Component()->put_AutoRefresh(1); FAILED(hr)) {
    started.set_value(ReportFailure("starting the help folder watcher", hr));
    return;
  }
  m_session = &session;
  started.set_value(kExitOk);
  for (;;) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
    if (m_jobs.empty()) break;
    std::packaged_task<void()> job = std::move(m_jobs.front());
    m_jobs.pop_front();
    lock.unlock();
    job();
  }
  session.Component()->put_AutoRefresh(0);
  m_session = nullptr;
}

void ComponentService::RunOnComponentThread(const std::function<void()>& job) {
  std::packaged_task<void()> task(job);
  std::future<void> done = task.get_future();
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_jobs.push_back(std::move(task));
  }
  m_wake.notify_one();
  done.get();
}

SearchAnswer ComponentService::Search(const SearchRequest& request) {
  SearchAnswer answer;
  RunOnComponentThread([&] {
    const HRESULT hr = zvv::Search(m_session->Component(), request, m_session->HelpDir(),
                                   answer.m_hits, answer.m_hidden);
    if (SUCCEEDED(hr)) return;
    // The error object belongs to this thread: it is read before anything
    // else is asked of the component.
    const std::string text = ComponentErrorText();
    answer.m_column = QueryErrorColumn(text);
    answer.m_error = ComponentFailureMessage("search", hr, text);
  });
  return answer;
}

IndexStatus ComponentService::Status() { return ReadIndexStatus(m_installDir, m_helpDir); }

}  // namespace zvv
