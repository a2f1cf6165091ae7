// End to end: zvv serve answers through the component as zvv --json does.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#include "cli/json.h"
#include "cli/tests/serve_fake_service.h"

namespace zvv::testing {
namespace {

// zvv serve on a free port, ended (through its timeout wrapper) at the end.
class ServeProcess {
 public:
  // `prefix`: words put before the command, such as variable settings.
  explicit ServeProcess(const TempApp& app, const std::string& prefix = {},
                        const std::string& options = {}) {
    const std::string command =
        "echo $$; exec env " + prefix +
        " ZVV_REGISTRY_FILE=" + ShellQuote((app.Root() / "registry").string()) + " timeout 120 " +
        ShellQuote(ZVV_EXECUTABLE) + " serve --no-ui --port 0 " + options + " --install-dir " +
        ShellQuote(app.Root().string()) + " </dev/null";
    m_output = popen(command.c_str(), "r");
    if (!m_output) throw std::runtime_error("popen failed");
    m_pid = std::stoi(ReadLine());
    m_banner = ReadLine();
    const auto at = m_banner.find("http://127.0.0.1:");
    if (at == std::string::npos) throw std::runtime_error("no address in: " + m_banner);
    m_port = std::stoi(m_banner.substr(at + 17));
  }
  ~ServeProcess() {
    ::kill(m_pid, SIGTERM);
    pclose(m_output);
  }
  ServeProcess(const ServeProcess&) = delete;
  ServeProcess& operator=(const ServeProcess&) = delete;

  RawResponse Get(const std::string& target) const {
    return SendRaw(m_port, "GET " + target + " HTTP/1.1\r\nHost: localhost:" +
                               std::to_string(m_port) + "\r\n\r\n");
  }

  int m_port = 0;
  std::string m_banner;

 private:
  std::string ReadLine() {
    char line[1024];
    if (!std::fgets(line, sizeof line, m_output)) throw std::runtime_error("zvv serve ended");
    std::string text = line;
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
  }

  std::FILE* m_output = nullptr;
  int m_pid = 0;
};

// The body the API gives for zvv --json's lines: the same rows.
std::string RowsOf(const std::string& jsonLines, std::size_t hidden) {
  const std::vector<std::string> rows = Lines(jsonLines);
  std::string body = "{\"hits\":[";
  for (std::size_t i = 0; i < rows.size(); ++i) body += (i > 0 ? "," : "") + rows[i];
  return body + "],\"total\":" + std::to_string(rows.size()) +
         ",\"hidden\":" + std::to_string(hidden) + "}";
}

TEST(ZvvServe, AnswersAsZvvJsonDoesAndSeesAChangedHelpFolder) {
  TempApp app;
  app.AddPage("a.htm", "Alpha page", "alpha text");
  app.AddPage("guide/b.htm", "Beta", "alpha beta");
  const std::vector<std::string> base = {"--install-dir", app.Root().string(), "--no-ui"};
  auto zvv = [&base](std::vector<std::string> args) {
    args.insert(args.begin(), base.begin(), base.end());
    return RunZvv(args);
  };
  const RunResult expected = zvv({"--json", "--limit", "0", "alpha"});
  ASSERT_EQ(expected.m_exitCode, 0) << expected.m_err;
  const RunResult refused = zvv({"alpha <AND>"});
  ASSERT_EQ(refused.m_exitCode, 1);

  ServeProcess serve(app);
  EXPECT_NE(serve.m_banner.find(app.Help().string()), std::string::npos) << serve.m_banner;
  EXPECT_EQ(serve.Get("/api/search?q=alpha").m_body, RowsOf(expected.m_out, 0));
  const RawResponse filtered = serve.Get("/api/search?q=alpha&dir=guide/");
  EXPECT_NE(filtered.m_body.find("\"total\":1,\"hidden\":1"), std::string::npos) << filtered.m_body;

  // A query error carries the component's text, as zvv prints it, and its column.
  const RawResponse error = serve.Get("/api/search?q=alpha%20%3CAND%3E");
  EXPECT_EQ(error.m_status, 400);
  std::string text = Lines(refused.m_err).at(0).substr(5);  // after "zvv: "
  const std::size_t column = std::stoul(text.substr(text.find("column ") + 7));
  EXPECT_GT(column, 0u);
  std::string json = JsonString(text);
  json.replace(json.find('<'), 1, "\\u003c");
  EXPECT_EQ(error.m_body, "{\"error\":" + json + ",\"column\":" + std::to_string(column) + "}");

  // AutoRefresh is on: a page added now is found by a later search. Rewriting
  // it now and then covers a change made before the watcher was armed.
  bool found = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  for (int attempt = 0; !found && std::chrono::steady_clock::now() < deadline; ++attempt) {
    if (attempt % 20 == 0) app.AddPage("guide/heron.htm", "Herons", "The grey heron waits.");
    found = serve.Get("/api/search?q=heron").m_body.find("guide/heron.htm") != std::string::npos;
    if (!found) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_TRUE(found);
  const std::string status = serve.Get("/api/status").m_body;
  EXPECT_EQ(status.rfind("{\"pages\":3,\"updated\":1", 0), 0u) << status;
  EXPECT_NE(status.find("\"folders\":[\"guide\"],\"home\":\"\"}"), std::string::npos) << status;
}

TEST(ZvvServe, APortInUseIsAFailureThatSaysSo) {
  TempApp app;
  app.AddPage("a.htm", "Alpha page", "alpha text");
  ServeProcess first(app);
  const RunResult second = RunZvv({"serve", "--no-ui", "--port", std::to_string(first.m_port),
                                   "--install-dir", app.Root().string()});
  EXPECT_EQ(second.m_exitCode, 1);
  EXPECT_NE(second.m_err.find("cannot listen on 127.0.0.1 port " + std::to_string(first.m_port)),
            std::string::npos)
      << second.m_err;
}

TEST(ZvvServe, OpenHandsTheAddressToTheDesktopsOpener) {
  TempApp app;
  app.AddPage("a.htm", "Alpha page", "alpha text");
  // A stand-in for xdg-open that writes down what it was asked to open.
  const std::filesystem::path bin = app.Root() / "bin";
  const std::filesystem::path opened = app.Root() / "opened";
  std::filesystem::create_directories(bin);
  std::ofstream(bin / "xdg-open") << "#!/bin/sh\necho \"$1\" > " << ShellQuote(opened.string())
                                  << "\n";
  std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
  ServeProcess serve(app, "PATH=" + ShellQuote(bin.string()) + ":\"$PATH\"", "--open");
  std::string line;
  for (int attempt = 0; attempt < 200 && line.empty(); ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
    std::ifstream(opened) >> line;
  }
  EXPECT_EQ(line, "http://127.0.0.1:" + std::to_string(serve.m_port) + "/");
}

TEST(ZvvServe, RefusesAPortThatIsNotOne) {
  for (const char* port : {"65536", "-1", "http", ""}) {
    SCOPED_TRACE(port);
    const RunResult result = RunZvv({"serve", "--port", port});
    EXPECT_EQ(result.m_exitCode, 2);
    EXPECT_NE(result.m_err.find("option --port needs a port number"), std::string::npos);
  }
}

}  // namespace
}  // namespace zvv::testing
