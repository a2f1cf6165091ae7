// What the help server refuses: files outside Help, other hosts, other methods.
#include <gtest/gtest.h>

#include <fstream>

#include "cli/tests/serve_fake_service.h"

namespace zvv::testing {
namespace {

constexpr char kSecret[] = "not for the browser";

class ServeSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    served.m_app.AddPage("index.htm", "Contents", "contents");
    served.m_app.AddPage("guide/page.htm", "Guide", "guide");
    // Beside Help, in the application folder: never served.
    std::ofstream(served.m_app.Root() / "secret.txt") << kSecret;
    // A folder elsewhere, reached from Help through a link, as the scan reaches it.
    const std::filesystem::path outside = served.m_app.Root() / "outside";
    std::filesystem::create_directories(outside);
    std::ofstream(outside / "secret.txt") << kSecret;
    std::ofstream(outside / "linked.htm") << "<title>Linked</title>linked page";
    std::filesystem::create_directory_symlink(outside, served.m_app.Help() / "linked");
    std::filesystem::create_symlink(served.m_app.Root() / "secret.txt",
                                    served.m_app.Help() / "guide" / "secret-link.txt");
  }

  std::string Port() const { return std::to_string(served.m_port); }

  ServedHelp served;
};

TEST_F(ServeSafety, NoPathLeavesTheHelpFolderOrListsOne) {
  const char* const refused[] = {
      "/help/../secret.txt",
      "/help/guide/../../secret.txt",
      "/help/%2e%2e/secret.txt",
      "/help/%2E%2E%2Fsecret.txt",
      "/help/guide%2f..%2f..%2fsecret.txt",
      "/help/..%5csecret.txt",
      "/help/%2fetc%2fpasswd",
      "/help//etc/passwd",
      "/help/./index.htm",
      "/help/index.htm%00.png",
      "/help/guide/secret-link.txt",
      "/help/linked/secret.txt",
      "/help/",
      "/help/guide",
      "/help/guide/",
      "/help/linked",
  };
  for (const char* target : refused) {
    SCOPED_TRACE(target);
    const RawResponse response = served.Request(target);
    EXPECT_EQ(response.m_status, 404);
    EXPECT_EQ(response.m_body.find(kSecret), std::string::npos);
    EXPECT_EQ(response.m_body.find("page.htm"), std::string::npos);
  }
  // The pages the scan finds through the same link are the search's to show.
  const RawResponse linked = served.Request("/help/linked/linked.htm");
  EXPECT_EQ(linked.m_status, 200);
  EXPECT_NE(linked.m_body.find("linked page"), std::string::npos);
  EXPECT_EQ(served.Request("/help/guide/page.htm").m_status, 200);
}

TEST_F(ServeSafety, OnlyItsOwnLoopbackAddressIsAnswered) {
  const std::string port = Port();
  const std::string otherPort = std::to_string(served.m_port == 65535 ? 1 : served.m_port + 1);
  struct Case {
    std::string hostLine;
    int status;
  };
  const Case cases[] = {
      {"Host: 127.0.0.1:" + port + "\r\n", 200},
      {"Host: localhost:" + port + "\r\n", 200},
      {"Host: evil.example:" + port + "\r\n", 403},
      {"Host: evil.example\r\n", 403},
      {"Host: 127.0.0.1\r\n", 403},
      {"Host: 127.0.0.1:" + otherPort + "\r\n", 403},
      {"Host: localhost.evil.example:" + port + "\r\n", 403},
      {"Host: 127.0.0.1:" + port + ".evil.example\r\n", 403},
      {"", 403},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hostLine);
    const RawResponse response =
        SendRaw(served.m_port, "GET /api/search?q=x HTTP/1.1\r\n" + c.hostLine + "\r\n");
    EXPECT_EQ(response.m_status, c.status);
  }
  // Only the two admitted requests reached the search.
  EXPECT_EQ(served.m_service.Searches(), 2);
}

TEST_F(ServeSafety, OnlyGetAndHeadAreAnswered) {
  for (const char* method : {"POST", "PUT", "DELETE", "PATCH", "OPTIONS"}) {
    SCOPED_TRACE(method);
    const RawResponse response =
        SendRaw(served.m_port, std::string(method) +
                                   " /api/search?q=x HTTP/1.1\r\nHost: "
                                   "127.0.0.1:" +
                                   Port() + "\r\nContent-Length: 0\r\n\r\n");
    EXPECT_EQ(response.m_status, 405);
    EXPECT_EQ(response.Header("Allow"), "GET, HEAD");
  }
  EXPECT_EQ(served.m_service.Searches(), 0);
}

}  // namespace
}  // namespace zvv::testing
