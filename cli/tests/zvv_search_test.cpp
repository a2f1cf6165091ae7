// End to end: the real zvv, the real component and engine, on temporary
// application folders.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/tests/support/json_reader.h"
#include "cli/tests/support/zvv_process.h"

namespace zvv::testing {
namespace {

class ZvvSearch : public ::testing::Test {
 protected:
  ZvvSearch() {
    m_app.AddPage("intro.htm", "Getting started", "Install the printer driver first.");
    m_app.AddPage("guide/printing.htm", "Printing pages",
                  "Open the print dialog and choose a printer.");
    m_app.AddPage("guide/export.htm", "Exporting", "Export a document as text; no printer.");
    m_app.AddPage("reference/driver.html", "Driver reference", "Every driver setting.");
  }

  // zvv on the temporary application, never asking anybody.
  RunResult Zvv(std::vector<std::string> args) {
    args.insert(args.begin(), {"--install-dir", m_app.Root().string(), "--no-ui"});
    return RunZvv(args);
  }

  TempApp m_app;
};

TEST_F(ZvvSearch, PrintsTheMatchingPagesAndASummary) {
  const RunResult result = Zvv({"printer"});
  ASSERT_EQ(result.m_exitCode, 0) << result.m_err;
  const std::vector<std::string> lines = Lines(result.m_out);
  ASSERT_EQ(lines.size(), 5u) << result.m_out;
  // The paths are in the Help folder, named once above them.
  EXPECT_EQ(lines[0], "Help folder: " + m_app.Help().string());
  EXPECT_EQ(lines.back(), "3 hits");
  EXPECT_TRUE(Contains(result.m_out, "guide/printing.htm"));
  EXPECT_TRUE(Contains(result.m_out, "intro.htm"));
  EXPECT_TRUE(Contains(result.m_out, "guide/export.htm"));
  EXPECT_FALSE(Contains(result.m_out, "driver.html"));
  // Best first, with the best scoring 100; no colour into a file.
  EXPECT_EQ(lines[1].substr(0, 5), "  100");
  EXPECT_FALSE(Contains(result.m_out, "\x1b["));
  // The collection was built inside the application folder.
  EXPECT_TRUE(std::filesystem::is_directory(m_app.Root() / "dizode"));
}

TEST_F(ZvvSearch, SearchCommandAndSeveralWordsFormOneQuery) {
  const RunResult result = Zvv({"search", "print", "dialog"});
  ASSERT_EQ(result.m_exitCode, 0) << result.m_err;
  EXPECT_TRUE(Contains(result.m_out, "guide/printing.htm")) << result.m_out;
  EXPECT_EQ(Lines(result.m_out).back(), "1 hit");
}

TEST_F(ZvvSearch, TitleOnlyIgnoresBodyText) {
  const RunResult all = Zvv({"driver"});
  const RunResult titles = Zvv({"--title-only", "driver"});
  ASSERT_EQ(titles.m_exitCode, 0) << titles.m_err;
  EXPECT_TRUE(Contains(all.m_out, "intro.htm")) << all.m_out;
  EXPECT_FALSE(Contains(titles.m_out, "intro.htm")) << titles.m_out;
  EXPECT_TRUE(Contains(titles.m_out, "reference/driver.html")) << titles.m_out;
  EXPECT_EQ(Lines(titles.m_out).back(), "1 hit");
}

TEST_F(ZvvSearch, FolderFiltersKeepOnlyMatchingPaths) {
  struct Case {
    std::vector<std::string> m_dirs;
    std::vector<std::string> m_expected;
    std::string m_allHidden;  // the summary when the filters hide every hit
  };
  const std::string above = m_app.Root().filename().string();
  const std::vector<Case> cases = {
      {{"guide/"}, {"guide/printing.htm", "guide/export.htm"}, ""},
      {{"reference", "intro"}, {"intro.htm"}, ""},
      {{"Guide/"}, {}, "3 hits, all outside --dir Guide/"},  // case-sensitive
      {{""}, {"intro.htm", "guide/printing.htm", "guide/export.htm"}, ""},
      // Only the path the user sees counts, not the folders above Help.
      {{above, "Help/"}, {}, "3 hits, all outside --dir " + above + " or Help/"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args;
    for (const std::string& dir : c.m_dirs) args.insert(args.end(), {"--dir", dir});
    args.push_back("printer");
    const RunResult result = Zvv(args);
    ASSERT_EQ(result.m_exitCode, 0) << result.m_err;
    const std::vector<std::string> lines = Lines(result.m_out);
    // The folder line, the hits and the summary; only the summary when nothing is left.
    EXPECT_EQ(lines.size(), c.m_expected.size() + (c.m_expected.empty() ? 1 : 2)) << result.m_out;
    for (const std::string& path : c.m_expected) {
      EXPECT_TRUE(Contains(result.m_out, path)) << path << " in\n" << result.m_out;
    }
    if (c.m_expected.empty()) {
      EXPECT_EQ(lines.back(), c.m_allHidden);
    }
  }
}

TEST_F(ZvvSearch, JsonLinesCarryEscapedFieldsAndPaths) {
  m_app.AddPage("odd/quote.htm", "Say &quot;cheese&quot; \\ back caf&#233;",
                "A zebra page with a backslash.");
  const RunResult result = Zvv({"--json", "zebra"});
  ASSERT_EQ(result.m_exitCode, 0) << result.m_err;
  const std::vector<std::string> lines = Lines(result.m_out);
  ASSERT_EQ(lines.size(), 1u) << result.m_out;
  const auto hit = ParseFlatObject(lines[0]);
  ASSERT_TRUE(hit) << lines[0];
  EXPECT_EQ(hit->size(), 4u);
  EXPECT_EQ(hit->at("score").m_text, "100");
  EXPECT_FALSE(hit->at("score").m_isString);
  EXPECT_EQ(hit->at("title").m_text, "Say \"cheese\" \\ back caf\xC3\xA9");
  EXPECT_EQ(hit->at("path").m_text, "odd/quote.htm");
  EXPECT_EQ(hit->at("key").m_text, (m_app.Help() / "odd" / "quote.htm").string());
}

TEST_F(ZvvSearch, LimitCutsThePrintedHitsButNotTheCount) {
  const RunResult result = Zvv({"--limit", "1", "printer"});
  ASSERT_EQ(result.m_exitCode, 0) << result.m_err;
  const std::vector<std::string> lines = Lines(result.m_out);
  ASSERT_EQ(lines.size(), 3u) << result.m_out;
  EXPECT_EQ(lines[2], "1 of 3 hits shown");
}

TEST_F(ZvvSearch, NoHitIsNoFailure) {
  const RunResult result = Zvv({"xylophone"});
  EXPECT_EQ(result.m_exitCode, 0) << result.m_err;
  EXPECT_EQ(result.m_out, "No pages match\n");
  EXPECT_EQ(result.m_err, "");
}

TEST_F(ZvvSearch, JsonTellsOnStderrWhatTheFiltersHid) {
  const RunResult result = Zvv({"--json", "--dir", "nowhere/", "printer"});
  ASSERT_EQ(result.m_exitCode, 0) << result.m_err;
  EXPECT_EQ(result.m_out, "");
  EXPECT_EQ(result.m_err, "zvv: 3 hits, all outside --dir nowhere/\n");
}

TEST_F(ZvvSearch, QueryErrorIsTheComponentsAccountAlone) {
  const RunResult result = Zvv({"a <AND> <AND> b"});
  EXPECT_EQ(result.m_exitCode, 1);
  // The place in the query and the reason, and nothing that blames the index.
  EXPECT_EQ(result.m_err.rfind("zvv: query error at column 9: ", 0), 0u) << result.m_err;
  EXPECT_EQ(Lines(result.m_err).size(), 1u) << result.m_err;
  EXPECT_FALSE(Contains(result.m_err, "index")) << result.m_err;
  EXPECT_FALSE(Contains(result.m_err, "E_FAIL")) << result.m_err;
  EXPECT_EQ(result.m_out, "");
}

TEST_F(ZvvSearch, CommandNamesAreQueryWordsWhereTheyCannotBeCommands) {
  m_app.AddPage("words.htm", "Words", "How to watch the index grow.");
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--", "watch"}, {"search", "index"}}) {
    const RunResult result = Zvv(args);
    ASSERT_EQ(result.m_exitCode, 0) << args.back() << ": " << result.m_err;
    EXPECT_TRUE(Contains(result.m_out, "words.htm")) << args.back() << ": " << result.m_out;
    EXPECT_EQ(Lines(result.m_out).back(), "1 hit") << args.back();
  }
}

TEST_F(ZvvSearch, UiWithoutATerminalSaysSoAndThatNoIndexExists) {
  // Standard input is not a terminal, so nobody can be asked.
  const RunResult first = RunZvv({"--install-dir", m_app.Root().string(), "--ui", "printer"});
  EXPECT_EQ(first.m_exitCode, 1);
  EXPECT_TRUE(Contains(first.m_err, "--ui cannot ask")) << first.m_err;
  EXPECT_TRUE(Contains(first.m_err, "no help index exists")) << first.m_err;
  EXPECT_TRUE(Contains(first.m_err, "'zvv index'")) << first.m_err;
  EXPECT_TRUE(Contains(first.m_err, "--no-ui")) << first.m_err;
  EXPECT_FALSE(Contains(first.m_err, "E_FAIL")) << first.m_err;
  EXPECT_EQ(first.m_out, "");
  // Once an index exists there is nothing to ask: the search answers, with the note.
  ASSERT_EQ(Zvv({"index"}).m_exitCode, 0);
  const RunResult later = RunZvv({"--install-dir", m_app.Root().string(), "--ui", "printer"});
  EXPECT_EQ(later.m_exitCode, 0) << later.m_err;
  EXPECT_EQ(Lines(later.m_out).back(), "3 hits");
  EXPECT_TRUE(Contains(later.m_err, "--ui cannot ask")) << later.m_err;
}

TEST_F(ZvvSearch, IndexReportsCreationThenUpdate) {
  const RunResult first = Zvv({"index"});
  ASSERT_EQ(first.m_exitCode, 0) << first.m_err;
  EXPECT_TRUE(Contains(first.m_out, "Created the help index of 4 pages")) << first.m_out;
  m_app.AddPage("late.htm", "Late page", "Added after the index.");
  const RunResult second = Zvv({"index"});
  ASSERT_EQ(second.m_exitCode, 0) << second.m_err;
  EXPECT_TRUE(Contains(second.m_out, "Updated the help index of 5 pages")) << second.m_out;
  // The update made the new page searchable.
  EXPECT_TRUE(Contains(Zvv({"late"}).m_out, "late.htm"));
}

TEST(ZvvFolders, MissingHelpFolderIsReportedBeforeAnythingStarts) {
  TempApp app;
  std::filesystem::remove_all(app.Help());
  const RunResult result = RunZvv({"--install-dir", app.Root().string(), "--no-ui", "printer"});
  EXPECT_EQ(result.m_exitCode, 1);
  EXPECT_TRUE(Contains(result.m_err, "Help folder not found: " + app.Help().string()))
      << result.m_err;
  EXPECT_FALSE(std::filesystem::exists(app.Root() / "dizode"));
}

TEST(ZvvUsage, BadCommandLinesExitTwoWithUsageOnStderr) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"--bogus", "x"}, {"--limit"}, {"--limit", "many", "x"}, {"watch", "x"}}) {
    const RunResult result = RunZvv(args);
    EXPECT_EQ(result.m_exitCode, 2) << args.size();
    EXPECT_TRUE(Contains(result.m_err, "Usage: zvv")) << result.m_err;
    EXPECT_EQ(result.m_out, "");
  }
}

TEST(ZvvUsage, HelpGoesToStdout) {
  const RunResult help = RunZvv({"--help"});
  EXPECT_EQ(help.m_exitCode, 0);
  EXPECT_TRUE(Contains(help.m_out, "--install-dir DIR"));
  EXPECT_EQ(help.m_err, "");
}

}  // namespace
}  // namespace zvv::testing
