// End to end: zvv watch answers from an index that follows the help folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "cli/tests/support/json_reader.h"
#include "cli/tests/support/zvv_process.h"

namespace zvv::testing {
namespace {

namespace fs = std::filesystem;

bool Mentions(const std::vector<std::string>& lines, const std::string& part) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& line) { return line.find(part) != std::string::npos; });
}

// Adds the page and asks `query` until an answer names it. The watcher reports
// the change on its own thread and the next query updates the index; writing
// the page again now and then covers a change made before the watcher was
// armed. The process timeout bounds the loop. False when zvv watch ended first.
bool AddAndAskUntilFound(WatchProcess& watch, TempApp& app, const std::string& query,
                         const std::string& page, const std::string& body) {
  for (int attempt = 0; attempt < 5000; ++attempt) {
    if (attempt % 50 == 0) app.AddPage(page, "Added", body);
    watch.Send(query);
    const std::vector<std::string> answer = watch.ReadAnswer();
    if (answer.empty()) return false;
    if (Mentions(answer, page)) return true;
  }
  return false;
}

TEST(ZvvWatch, PicksUpAPageAddedWhileItRuns) {
  TempApp app;
  app.AddPage("first.htm", "First page", "Nothing about birds.");
  WatchProcess watch({"watch", "--install-dir", app.Root().string(), "--no-ui"});

  watch.Send("heron");
  ASSERT_EQ(watch.ReadAnswer(), std::vector<std::string>{"No pages match"});

  EXPECT_TRUE(AddAndAskUntilFound(watch, app, "heron", "birds/heron.htm", "The grey heron waits."));

  // Blank lines are skipped; "quit" ends the session successfully.
  watch.Send("");
  watch.Send("quit");
  EXPECT_EQ(watch.Finish(), 0);
}

// The whole road of a Help folder moved away and back while zvv watch runs:
// no answer in between loses a page, the reason is said once, and pages
// added after its return are found.
TEST(ZvvWatch, AHelpFolderAwayForAMomentLosesNothing) {
  TempApp app;
  app.AddPage("a.htm", "Alpha", "alpha text");
  app.AddPage("sub/b.htm", "Beta", "alpha beta");
  WatchProcess watch({"watch", "--install-dir", app.Root().string(), "--no-ui"});
  watch.Send("alpha");
  ASSERT_EQ(watch.ReadAnswer().back(), "2 hits");

  const fs::path away = app.Root() / "Help.away";
  fs::rename(app.Help(), away);
  // Asked until the watcher has seen the folder go and an update has failed.
  for (int attempt = 0; attempt < 5000 && !Contains(watch.Errors(), "warning"); ++attempt) {
    watch.Send("alpha");
    const std::vector<std::string> answer = watch.ReadAnswer();
    ASSERT_FALSE(answer.empty()) << "zvv watch ended early";
    ASSERT_EQ(answer.back(), "2 hits") << watch.Errors();
  }
  const std::string errors = watch.Errors();
  EXPECT_TRUE(Contains(
      errors,
      "zvv: warning: The help index could not be brought up to date with " + app.Help().string()))
      << errors;
  watch.Send("alpha");  // said once, not with every answer
  ASSERT_EQ(watch.ReadAnswer().back(), "2 hits");
  EXPECT_EQ(watch.Errors(), errors);

  fs::rename(away, app.Help());
  EXPECT_TRUE(AddAndAskUntilFound(watch, app, "gamma", "later.htm", "gamma arrives later"));
  watch.Send("alpha");
  EXPECT_EQ(watch.ReadAnswer().back(), "2 hits");
  EXPECT_EQ(watch.Finish(), 0);
}

TEST(ZvvWatch, EndOfInputEndsAndQueryFailuresAreReported) {
  TempApp app;
  app.AddPage("a.htm", "Alpha", "alpha text");
  WatchProcess watch({"watch", "--install-dir", app.Root().string(), "--no-ui"});
  watch.Send("alpha");
  const std::vector<std::string> answer = watch.ReadAnswer();
  ASSERT_EQ(answer.size(), 2u);
  EXPECT_EQ(answer.back(), "1 hit");
  // A refused query does not end the session; the next one is answered.
  watch.Send("<OR> alpha");
  watch.Send("alpha");
  EXPECT_EQ(watch.ReadAnswer().back(), "1 hit");
  EXPECT_EQ(watch.Finish(), 1);
}

// A program driving zvv watch --json through pipes knows where each answer ends, whether it
// found pages, found none or failed.
TEST(ZvvWatch, JsonAnswersEndWithAnEndLine) {
  TempApp app;
  app.AddPage("a.htm", "Alpha", "alpha shared");
  app.AddPage("b.htm", "Beta", "beta shared");
  WatchProcess watch(
      {"watch", "--json", "--limit", "1", "--install-dir", app.Root().string(), "--no-ui"});
  struct Case {
    std::string query;
    std::size_t hitLines;
    std::string members;  // of the end line, past "end" and "query"
  };
  const Case cases[] = {
      {"shared", 1, R"("hits":2,"shown":1)"},
      {"xylophone", 0, R"("hits":0,"shown":0)"},
      {"<OR> alpha", 0, R"("error":true)"},
      {"say \"hi\"", 0, R"("hits":0,"shown":0)"},
  };
  for (const Case& c : cases) {
    watch.Send(c.query);
    const std::vector<std::string> answer = watch.ReadAnswer();
    ASSERT_EQ(answer.size(), c.hitLines + 1) << c.query;
    for (std::size_t i = 0; i < c.hitLines; ++i) {
      EXPECT_TRUE(ParseFlatObject(answer[i])) << answer[i];
    }
    const auto end = ParseFlatObject(answer.back());
    ASSERT_TRUE(end) << answer.back();
    EXPECT_EQ(end->at("query").m_text, c.query);
    EXPECT_TRUE(answer.back().starts_with(R"({"end":true,"query":)")) << answer.back();
    EXPECT_TRUE(answer.back().ends_with("," + c.members + "}")) << answer.back();
  }
  EXPECT_EQ(watch.Finish(), 1);
}

}  // namespace
}  // namespace zvv::testing
