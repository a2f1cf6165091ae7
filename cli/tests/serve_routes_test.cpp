// The help server's routes: the viewer, the Help folder's files and the JSON API.
#include <gtest/gtest.h>

#include <fstream>

#include "cli/json.h"
#include "cli/tests/serve_fake_service.h"

namespace zvv::testing {
namespace {

void WriteFile(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

TEST(ServeRoutes, ServesTheViewerAndHelpFilesWithTheirTypesAndSafetyHeaders) {
  ServedHelp served;
  served.m_app.AddPage("index.htm", "Contents", "see the guide");
  served.m_app.AddPage("Guide Two/PAGE ONE.HTM", "Upper", "upper case name");
  WriteFile(served.m_app.Help() / "guide" / "pic.png", std::string("\x89PNG\r\n\x1a\n", 8));
  WriteFile(served.m_app.Help() / "guide" / "notes.bin", "<script>alert(1)</script>");

  struct Case {
    const char* target;
    int status;
    const char* type;
    const char* bodyHolds;
  };
  const Case cases[] = {
      {"/", 200, "text/html", "<script src=\"/viewer.js\""},
      {"/viewer.js", 200, "text/javascript", "textContent"},
      {"/viewer.css", 200, "text/css", "#results"},
      {"/help/index.htm", 200, "text/html", "see the guide"},
      {"/help/Guide%20Two/PAGE%20ONE.HTM", 200, "text/html", "upper case name"},
      {"/help/guide/pic.png", 200, "image/png", "PNG"},
      // An unknown kind of file is never sniffed into a page or a script.
      {"/help/guide/notes.bin", 200, "application/octet-stream", "alert"},
      {"/help/guide/missing.htm", 404, "", ""},
      {"/other.js", 404, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    const RawResponse response = served.Request(c.target);
    EXPECT_EQ(response.m_status, c.status);
    EXPECT_EQ(response.Header("Content-Type").rfind(c.type, 0), 0u)
        << response.Header("Content-Type");
    EXPECT_NE(response.m_body.find(c.bodyHolds), std::string::npos);
    // Every answer, refusals included, forbids sniffing and inline script.
    EXPECT_EQ(response.Header("X-Content-Type-Options"), "nosniff");
    const std::string policy = response.Header("Content-Security-Policy");
    EXPECT_NE(policy.find("script-src 'self'"), std::string::npos);
    EXPECT_NE(policy.find("default-src 'none'"), std::string::npos);
    EXPECT_EQ(policy.find("unsafe"), std::string::npos);
  }
}

TEST(ServeRoutes, HeadAnswersLikeGetWithoutABody) {
  ServedHelp served;
  const RawResponse head = served.Request("/viewer.js", "HEAD");
  EXPECT_EQ(head.m_status, 200);
  EXPECT_TRUE(head.m_body.empty());
  EXPECT_EQ(head.Header("Content-Length"), served.Request("/viewer.js").Header("Content-Length"));
}

TEST(ServeRoutes, SearchHandsOnTheRequestAndAnswersWithZvvsJsonRows) {
  ServedHelp served;
  const Hit first{"100", "Printing", "/app/Help/guide/print.htm", "guide/print.htm"};
  const Hit second{"41", "Paper \"sizes\"", "/app/Help/guide/paper.htm", "guide/paper.htm"};
  served.m_service.SetAnswer({{first, second}, 3, "", 0});

  RawResponse response =
      served.Request("/api/search?q=print%20%3CAND%3E%20paper&titles=1&dir=guide/&dir=ref/");
  EXPECT_EQ(response.m_status, 200);
  EXPECT_EQ(response.Header("Content-Type"), "application/json");
  const SearchRequest asked = served.m_service.LastRequest();
  EXPECT_EQ(asked.m_query, "print <AND> paper");
  EXPECT_TRUE(asked.m_titleOnly);
  EXPECT_EQ(asked.m_dirs, (std::vector<std::string>{"guide/", "ref/"}));
  // '<' is written \u003c inside the strings; the rows are otherwise zvv --json's.
  EXPECT_EQ(response.m_body, "{\"hits\":[" + HitToJson(first) + "," + HitToJson(second) +
                                 "],\"total\":2,\"hidden\":3}");

  response = served.Request("/api/search?q=print&limit=1");
  EXPECT_FALSE(served.m_service.LastRequest().m_titleOnly);
  EXPECT_TRUE(served.m_service.LastRequest().m_dirs.empty());
  EXPECT_EQ(response.m_body, "{\"hits\":[" + HitToJson(first) + "],\"total\":2,\"hidden\":3}");
}

TEST(ServeRoutes, AnEmptyQueryAsksNothingAndFailuresCarryTheComponentsText) {
  ServedHelp served;
  RawResponse response = served.Request("/api/search?q=");
  EXPECT_EQ(response.m_body, "{\"hits\":[],\"total\":0,\"hidden\":0}");
  EXPECT_EQ(served.m_service.Searches(), 0);

  served.m_service.SetAnswer({{}, 0, "query error at column 7: missing operand after <AND>", 7});
  response = served.Request("/api/search?q=print%20%3CAND%3E");
  EXPECT_EQ(response.m_status, 400);
  EXPECT_EQ(response.m_body,
            "{\"error\":\"query error at column 7: missing operand after \\u003cAND>\","
            "\"column\":7}");

  served.m_service.SetAnswer({{}, 0, "search failed: 0x80004005 E_FAIL", 0});
  EXPECT_EQ(served.Request("/api/search?q=print").m_status, 500);
}

TEST(ServeRoutes, AQueryHoldingMarkupComesBackWithoutATag) {
  ServedHelp served;
  const std::string markup = "<img src=x onerror=alert(1)><script>alert(2)</script>";
  served.m_service.SetAnswer({{{"9", markup, "/h/" + markup, markup}}, 0, "", 0});
  const RawResponse response = served.Request(
      "/api/search?q=%3Cimg%20src%3Dx%20onerror%3Dalert(1)%3E%3Cscript%3Ealert(2)%3C/script%3E");
  EXPECT_EQ(served.m_service.LastRequest().m_query, markup);
  EXPECT_EQ(response.Header("Content-Type"), "application/json");
  EXPECT_EQ(response.m_body.find('<'), std::string::npos) << response.m_body;
  EXPECT_NE(response.m_body.find("\\u003cscript>alert(2)"), std::string::npos);
}

TEST(ServeRoutes, StatusReportsPagesUpdateFoldersAndHome) {
  ServedHelp served;
  served.m_service.SetStatus({54, 1796716800, {"guide", "guide/<b>"}, "index.htm"});
  const RawResponse response = served.Request("/api/status");
  EXPECT_EQ(response.m_status, 200);
  EXPECT_EQ(response.m_body,
            "{\"pages\":54,\"updated\":1796716800,"
            "\"folders\":[\"guide\",\"guide/\\u003cb>\"],\"home\":\"index.htm\"}");
}

}  // namespace
}  // namespace zvv::testing
