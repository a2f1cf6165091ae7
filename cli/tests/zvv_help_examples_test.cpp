// The zvv command lines of the bundled help, run through the real program, so that the help and
// zvv cannot disagree. Every folder of the help is read, so a marker works wherever it is put.
//
// An element that shows a zvv command and claims what it does carries data-zvv attributes:
//
//   data-zvv="ARGS"        the arguments after "zvv", split as a shell splits them (single and
//                          double quotes, backslashes); required
//   data-zvv-pages="a|b"   the command runs on an application folder of its own made of these
//                          pages, each "path :: Title :: text" below Help; without it, on a copy
//                          of the sample application
//   data-zvv-no-help       the command runs on an application folder without a Help folder
//   data-zvv-exit="N"      the exit status; without it the command must exit with 0
//   data-zvv-summary="..." the last line of standard output, where # stands for a whole number
//   data-zvv-shows="a|b"   these paths are among the printed hits
//   data-zvv-hides="a|b"   these paths are not
//   data-zvv-only="a/|b/"  there are hits, and each hit's path starts with one of these
//   data-zvv-json          standard output is JSON lines, at least one
//   data-zvv-stdout="..."  standard output contains this text
//   data-zvv-stderr="..."  standard error contains this text
//   data-zvv-input="a|b"   these lines are standard input (else it is empty): queries for watch
//
// The test chooses the application folder (--install-dir) and forbids prompts (--no-ui); the
// component registry is a fresh empty file. Whatever the claims, the output must be well formed:
// a command that fails prints nothing on standard output; otherwise, below a line that names
// the Help folder (not for zvv watch or --absolute), every line is a hit, "score  title  path", and
// the last one a summary that counts the hits shown, or, with data-zvv-json, every line is an
// object of exactly score, title, key and path, the key being the page's full path. The index,
// status, register and unregister commands, --version and --help print a report instead of hits:
// with data-zvv-json it is one JSON object, and its summary is its last line. zvv watch --json ends
// each answer with an end line, which is checked and then set aside. Scores are whole numbers from
// 1 to 100, best first. A marker with any other data-zvv attribute, an argument the shell would
// read as more than text, a page text with < or &, a failing command that claims output, or no
// claim at all fails its test.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string_view>

#include "cli/tests/support/json_reader.h"
#include "cli/tests/support/zvv_help_examples.h"
#include "cli/tests/support/zvv_process.h"

namespace zvv::testing {
namespace {

namespace fs = std::filesystem;

const std::vector<ZvvExample>& AllExamples() {
  static const std::vector<ZvvExample> examples = [] {
    std::vector<std::string> folders;
    for (const auto& entry : fs::directory_iterator(ZVV_HELP_DIR)) {
      if (entry.is_directory()) folders.push_back(entry.path().filename().string());
    }
    std::sort(folders.begin(), folders.end());
    return ReadZvvExamples(ZVV_HELP_DIR, folders);
  }();
  return examples;
}

struct PrintedHit {
  int m_score = 0;
  std::string m_path;
};

// A table answer: hit lines, then the summary; a failure names the line that does not fit.
// Hits come after `folderLine`, the line that names the folder their paths lie in, unless it
// is empty.
::testing::AssertionResult ReadTable(const std::vector<std::string>& lines,
                                     const std::string& folderLine, std::vector<PrintedHit>& hits) {
  if (lines.empty() || !IsSummaryLine(lines.back())) {
    return ::testing::AssertionFailure() << "the output does not end with a summary line";
  }
  const bool headed = lines.size() > 1 && !folderLine.empty();
  if (headed && lines[0] != folderLine) {
    return ::testing::AssertionFailure() << "hits without \"" << folderLine << "\" above them";
  }
  // A path the shell would split or read is printed in single quotes, a quote in it as '\''.
  static const std::regex kHit(R"( *(\d{1,3})  .*  ('(?:[^']|'\\'')*'|[^ ']+))");
  for (std::size_t i = headed ? 1 : 0; i + 1 < lines.size(); ++i) {
    std::smatch match;
    if (!std::regex_match(lines[i], match, kHit)) {
      return ::testing::AssertionFailure() << "not a hit line: " << lines[i];
    }
    std::string path = match[2];
    if (path.starts_with("'")) {
      path = std::regex_replace(path.substr(1, path.size() - 2), std::regex(R"('\\'')"), "'");
    }
    hits.push_back({std::stoi(match[1]), path});
  }
  static const std::regex kCount(R"((\d+)( of \d+)? hits?( shown)?)");
  std::smatch count;
  const std::size_t shown =
      std::regex_match(lines.back(), count, kCount) ? std::stoul(count[1]) : 0;
  if (shown != hits.size()) {
    return ::testing::AssertionFailure()
           << "\"" << lines.back() << "\" after " << hits.size() << " hit lines";
  }
  return ::testing::AssertionSuccess();
}

// JSON lines, one object of exactly the four fields per hit.
::testing::AssertionResult ReadJson(const std::vector<std::string>& lines, const fs::path& help,
                                    std::vector<PrintedHit>& hits) {
  static const std::regex kScore(R"(\d{1,3})");
  for (const std::string& line : lines) {
    const auto object = ParseFlatObject(line);
    if (!object) {
      return ::testing::AssertionFailure() << "not a JSON object: " << line;
    }
    const bool fields = object->size() == 4 && object->contains("score") &&
                        object->contains("title") && object->contains("key") &&
                        object->contains("path");
    if (!fields || object->at("score").m_isString || !object->at("title").m_isString ||
        !object->at("key").m_isString || !object->at("path").m_isString ||
        !std::regex_match(object->at("score").m_text, kScore)) {
      return ::testing::AssertionFailure() << "not a number score and string title, key and "
                                              "path, and nothing else: "
                                           << line;
    }
    const std::string& path = object->at("path").m_text;
    const std::string& key = object->at("key").m_text;
    std::error_code error;
    if (!key.ends_with("/" + path) || !fs::equivalent(key, help / path, error)) {
      return ::testing::AssertionFailure() << "the key is not the page's full path: " << line;
    }
    hits.push_back({std::stoi(object->at("score").m_text), path});
  }
  return ::testing::AssertionSuccess();
}

// A summary claim as a pattern: # for a whole number, everything else as written.
bool MatchesSummary(const std::string& claim, const std::string& line) {
  constexpr std::string_view kRegexSpecials = R"(\^$.|?*+()[]{})";
  std::string pattern;
  for (char c : claim) {
    if (c == '#') {
      pattern += R"(\d+)";
    } else {
      if (kRegexSpecials.find(c) != std::string_view::npos) pattern += '\\';
      pattern += c;
    }
  }
  return std::regex_match(line, std::regex(pattern));
}

// Whether the command prints something other than hits: index, status, register and
// unregister, and --version and --help wherever they stand among the options.
bool IsReportCommand(const std::vector<std::string>& args) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--") return false;
    if (arg == "--version" || arg == "-V" || arg == "--help" || arg == "-h") return true;
    if (arg.starts_with("-")) {
      const bool takesValue =
          arg == "--dir" || arg == "--limit" || arg == "--color" || arg == "--port";
      if (takesValue) ++i;
      continue;
    }
    return arg == "index" || arg == "status" || arg == "register" || arg == "unregister";
  }
  return false;
}

// zvv with these lines on standard input; its output is kept in `out` on the way.
RunResult RunZvvWithInput(const std::vector<std::string>& args,
                          const std::vector<std::string>& input, const fs::path& out) {
  if (input.empty()) return RunZvv(args);
  std::string text;
  for (const std::string& line : input) text += line + '\n';
  RunResult result = RunZvvInto(args, out.string(), text);
  std::ifstream in(out, std::ios::binary);
  std::ostringstream printed;
  printed << in.rdbuf();
  result.m_out = printed.str();
  fs::remove(out);
  return result;
}

void Furnish(TempApp& app, const ZvvExample& example) {
  if (example.noHelp) {
    fs::remove_all(app.Help());
  } else if (example.pages.empty()) {
    fs::copy(ZVV_HELP_DIR, app.Help(), fs::copy_options::recursive);
  }
  for (const ExamplePage& page : example.pages) {
    app.AddPage(page.path, page.title, page.body);
  }
}

std::string Describe(const std::vector<PrintedHit>& hits) {
  std::string out = hits.empty() ? "no hits" : "hits:";
  for (const PrintedHit& hit : hits) {
    out += " [" + hit.m_path + " " + std::to_string(hit.m_score) + "]";
  }
  return out;
}

void CheckHits(const ZvvExample& example, const std::vector<PrintedHit>& hits) {
  const std::string printed = Describe(hits);
  for (std::size_t i = 0; i < hits.size(); ++i) {
    EXPECT_TRUE(hits[i].m_score >= 1 && hits[i].m_score <= 100) << printed;
    if (i > 0) {
      EXPECT_LE(hits[i].m_score, hits[i - 1].m_score) << "not best first; " << printed;
    }
  }
  auto printedPath = [&](const std::string& path) {
    return std::any_of(hits.begin(), hits.end(),
                       [&](const PrintedHit& hit) { return hit.m_path == path; });
  };
  for (const std::string& path : example.shows) {
    EXPECT_TRUE(printedPath(path)) << path << " not shown; " << printed;
  }
  for (const std::string& path : example.hides) {
    EXPECT_FALSE(printedPath(path)) << path << " shown; " << printed;
  }
  if (example.only.empty()) {
    return;
  }
  EXPECT_FALSE(hits.empty()) << "no hit to keep";
  std::string outside;
  for (const PrintedHit& hit : hits) {
    const bool kept =
        std::any_of(example.only.begin(), example.only.end(),
                    [&](const std::string& prefix) { return hit.m_path.starts_with(prefix); });
    if (!kept) outside += " " + hit.m_path;
  }
  EXPECT_EQ(outside, "") << "outside the folders; " << printed;
}

void CheckExample(const ZvvExample& example) {
  TempApp app;
  Furnish(app, example);
  std::vector<std::string> args = {"--install-dir", app.Root().string(), "--no-ui"};
  args.insert(args.end(), example.args.begin(), example.args.end());
  const RunResult result = RunZvvWithInput(args, example.input, app.Root() / "stdout");
  const std::string output = "\nstdout:\n" + result.m_out + "stderr:\n" + result.m_err;

  ASSERT_EQ(result.m_exitCode, example.exitStatus) << output;
  if (example.errText) {
    EXPECT_TRUE(Contains(result.m_err, *example.errText)) << *example.errText << output;
  }
  if (example.exitStatus != 0) {
    EXPECT_EQ(result.m_out, "") << "a failing command printed on standard output";
    return;
  }
  if (example.outText) {
    EXPECT_TRUE(Contains(result.m_out, *example.outText)) << *example.outText << output;
  }
  const std::vector<std::string> lines = Lines(result.m_out);
  if (IsReportCommand(example.args)) {
    if (example.json) {
      ASSERT_EQ(lines.size(), 1u) << output;
      EXPECT_TRUE(ParseFlatObject(lines[0])) << output;
    }
    if (example.summary) {
      ASSERT_FALSE(lines.empty()) << output;
      EXPECT_TRUE(MatchesSummary(*example.summary, lines.back())) << output;
    }
    return;
  }
  std::vector<PrintedHit> hits;
  if (example.json) {
    std::vector<std::string> hitLines = lines;
    if (!example.input.empty()) {
      ASSERT_FALSE(hitLines.empty()) << output;
      const auto end = ParseFlatObject(hitLines.back());
      ASSERT_TRUE(end && end->contains("end")) << "no end line; " << output;
      hitLines.pop_back();
    }
    ASSERT_TRUE(ReadJson(hitLines, app.Help(), hits)) << output;
    EXPECT_FALSE(hits.empty()) << "no JSON line to check";
  } else {
    // zvv watch answers without the folder line: its reader knows the folder.
    // and with --absolute no folder is needed.
    const bool unheaded =
        !example.input.empty() ||
        std::find(example.args.begin(), example.args.end(), "--absolute") != example.args.end();
    ASSERT_TRUE(ReadTable(lines, unheaded ? "" : "Help folder: " + app.Help().string(), hits))
        << output;
  }
  if (example.summary) {
    EXPECT_TRUE(MatchesSummary(*example.summary, lines.back()))
        << "summary \"" << lines.back() << "\", claimed \"" << *example.summary << "\"";
  }
  CheckHits(example, hits);
}

class ZvvHelpExample : public ::testing::TestWithParam<ZvvExample> {};

TEST_P(ZvvHelpExample, Holds) {
  const ZvvExample& example = GetParam();
  SCOPED_TRACE(example.where + "  zvv " + example.commandLine);
  ASSERT_EQ(example.problem, "") << "malformed marker";
  CheckExample(example);
}

INSTANTIATE_TEST_SUITE_P(HelpExamples, ZvvHelpExample, ::testing::ValuesIn(AllExamples()),
                         [](const ::testing::TestParamInfo<ZvvExample>& info) {
                           return info.param.name;
                         });

TEST(ZvvHelpExampleMarkup, EveryFolderHoldsExamples) {
  const std::vector<ZvvExample>& examples = AllExamples();
  for (std::string_view folder : {"getting-started/", "indexing/", "reference/", "searching/",
                                  "troubleshooting/", "watching/"}) {
    EXPECT_TRUE(std::any_of(examples.begin(), examples.end(), [&](const ZvvExample& e) {
      return e.where.starts_with(folder);
    })) << folder;
  }
}

TEST(ZvvHelpExampleMarkup, ShellWords) {
  struct Case {
    const char* line;
    std::vector<std::string> words;
    const char* problem;  // a part of the expected problem; "" when the line splits
  };
  const Case cases[] = {
      {"--dir query-language  --dir searching\twildcard",
       {"--dir", "query-language", "--dir", "searching", "wildcard"},
       ""},
      {R"('printer <NEAR> driver')", {"printer <NEAR> driver"}, ""},
      {R"("\"exact phrase\"" it\'s\ here)", {"\"exact phrase\"", "it's here"}, ""},
      {"it's", {}, "unclosed single quote"},
      {R"('"a"'b"c")", {"\"a\"bc"}, ""},
      {R"(--dir '' x)", {"--dir", "", "x"}, ""},
      {R"("a\b \\ \$")", {"a\\b \\ $"}, ""},
      {"a#b", {"a#b"}, ""},
      {"", {}, ""},
      {"\"open", {}, "unclosed double quote"},
      {"end\\", {}, "backslash ends"},
      {"printer <NEAR> driver", {}, "reads < as more"},
      {"config*", {}, "reads * as more"},
      {"a | b", {}, "reads | as more"},
      {"a #comment", {}, "reads # as more"},
      {"$HOME", {}, "reads $ as more"},
  };
  for (const Case& c : cases) {
    std::string problem;
    const auto words = SplitShellWords(c.line, problem);
    if (c.problem[0] == '\0') {
      ASSERT_TRUE(words) << c.line << ": " << problem;
      EXPECT_EQ(*words, c.words) << c.line;
    } else {
      EXPECT_FALSE(words) << c.line;
      EXPECT_TRUE(Contains(problem, c.problem)) << c.line << ": " << problem;
    }
  }
}

std::vector<ZvvExample> ReadOnePage(const std::string& body) {
  TempApp help;
  fs::create_directory(help.Help() / "part");
  std::ofstream(help.Help() / "part/my-page.htm") << "<html><body>\n" << body << "\n</body></html>";
  return ReadZvvExamples(help.Help().string(), {"part"});
}

// The reader itself: every kind of malformed marker is caught rather than dropped.
TEST(ZvvHelpExampleMarkup, MalformedMarkersAreReported) {
  struct Case {
    const char* element;
    const char* problem;  // a part of the expected problem; "" for a sound marker
  };
  const Case cases[] = {
      {R"(<pre data-zvv="--json x" data-zvv-json data-zvv-shows="a.htm">x</pre>)", ""},
      {R"(<pre data-query="x" data-finds="a" data-zvv="x" data-zvv-exit="0">x</pre>)", ""},
      {R"(<pre data-zvv="x" data-zvv-exit="1" data-zvv-stderr="E_FAIL">x</pre>)", ""},
      {R"(<pre data-zvv="watch" data-zvv-input="a|b" data-zvv-summary="1 hit">x</pre>)", ""},
      {R"(<pre data-zvv="watch" data-zvv-input="" data-zvv-summary="1 hit">x</pre>)",
       "data-zvv-input needs a value"},
      {R"(<pre data-zvv-exit="0">x</pre>)", "needs data-zvv"},
      {R"(<pre data-zvv="x">x</pre>)", "claims nothing"},
      {R"(<pre data-zvv="x" data-zvv-show="a">x</pre>)", "unknown attribute data-zvv-show"},
      {R"(<pre data-zvvx="x">x</pre>)", "unknown attribute data-zvvx"},
      {R"(<pre data-zvv="x &lt;OR&gt; y" data-zvv-exit="0">x</pre>)", "reads < as more"},
      {R"(<pre data-zvv="'x" data-zvv-exit="0">x</pre>)", "unclosed single quote"},
      {R"(<pre data-zvv="--install-dir=/a x" data-zvv-exit="0">x</pre>)", "application folder"},
      {R"(<pre data-zvv="x" data-zvv-exit="two">x</pre>)", "exit status from 0 to 255"},
      {R"(<pre data-zvv="x" data-zvv-exit="256">x</pre>)", "exit status from 0 to 255"},
      {R"(<pre data-zvv="x" data-zvv-json="yes">x</pre>)", "takes no value"},
      {R"(<pre data-zvv="x" data-zvv-summary="">x</pre>)", "needs a value"},
      {R"(<pre data-zvv="x" data-zvv-exit="2" data-zvv-summary="#">x</pre>)", "a failing command"},
      {R"(<pre data-zvv="x" data-zvv-json data-zvv-summary="#">x</pre>)", "no summary line"},
      {R"(<pre data-zvv="x" data-zvv-shows="a||b">x</pre>)", "an empty path"},
      {R"(<pre data-zvv="x" data-zvv-shows="a" data-zvv-hides="a">x</pre>)", "shown and hidden"},
      {R"(<pre data-zvv="x" data-zvv-pages="a.htm :: A" data-zvv-exit="0">x</pre>)",
       "path :: Title"},
      {R"(<pre data-zvv="x" data-zvv-pages="a.htm ::  :: t" data-zvv-exit="0">x</pre>)",
       "path :: Title"},
      {R"(<pre data-zvv="x" data-zvv-pages="../a.htm :: A :: t" data-zvv-exit="0">x</pre>)",
       "inside the Help folder"},
      {R"(<pre data-zvv="x" data-zvv-pages="a.htm :: A :: x &lt; y" data-zvv-exit="0">x</pre>)",
       "without < or &"},
      {R"(<pre data-zvv="x" data-zvv-pages="a.htm :: A :: t|a.htm :: B :: u" data-zvv-exit="0">x</pre>)",
       "a page twice"},
      {R"(<pre data-zvv="x" data-zvv-no-help data-zvv-pages="a.htm :: A :: t" data-zvv-exit="1">x</pre>)",
       "exclude each other"},
  };
  for (const Case& c : cases) {
    const std::vector<ZvvExample> examples = ReadOnePage(c.element);
    ASSERT_EQ(examples.size(), 1u) << c.element;
    EXPECT_TRUE(Contains(examples[0].problem, c.problem))
        << c.element << "\n  problem: " << examples[0].problem;
    if (c.problem[0] == '\0') {
      EXPECT_EQ(examples[0].problem, "") << c.element;
    }
  }
}

TEST(ZvvHelpExampleMarkup, SoundMarkerIsReadWhole) {
  const std::vector<ZvvExample> examples = ReadOnePage(
      "<pre data-zvv=\"--dir reference '&lt;NEAR&gt;' x\" "
      "data-zvv-pages=\"reference-old/a.htm :: Old :: say &quot;x&quot;|b.htm :: B :: x\" "
      "data-zvv-summary=\"# of # hits shown\" data-zvv-shows=\"reference-old/a.htm\" "
      "data-zvv-hides=\"b.htm\" data-zvv-only=\"reference/|reference-old/\" "
      "data-zvv-stdout=\"Old\">x</pre>\n"
      "<p><span data-zvv=\"--dir reference/ x\" data-zvv-no-help data-zvv-exit=\"1\" "
      "data-zvv-stderr=\"Help folder\">x</span>"
      "<span data-zvv=\"--dir reference x\" data-zvv-exit=\"0\">x</span></p>");
  ASSERT_EQ(examples.size(), 3u);
  const ZvvExample& e = examples[0];
  EXPECT_EQ(e.problem, "");
  EXPECT_EQ(e.name, "my_page_dir_reference_NEAR_x");
  EXPECT_EQ(e.where, "part/my-page.htm:2");
  EXPECT_EQ(e.args, (std::vector<std::string>{"--dir", "reference", "<NEAR>", "x"}));
  ASSERT_EQ(e.pages.size(), 2u);
  EXPECT_EQ(e.pages[0].path, "reference-old/a.htm");
  EXPECT_EQ(e.pages[0].title, "Old");
  EXPECT_EQ(e.pages[0].body, "say \"x\"");
  EXPECT_EQ(e.summary, "# of # hits shown");
  EXPECT_EQ(e.shows, (std::vector<std::string>{"reference-old/a.htm"}));
  EXPECT_EQ(e.hides, (std::vector<std::string>{"b.htm"}));
  EXPECT_EQ(e.only, (std::vector<std::string>{"reference/", "reference-old/"}));
  EXPECT_EQ(e.outText, "Old");
  EXPECT_EQ(e.exitStatus, 0);
  EXPECT_FALSE(e.json);
  EXPECT_FALSE(e.noHelp);
  const ZvvExample& failing = examples[1];
  EXPECT_EQ(failing.problem, "");
  EXPECT_TRUE(failing.noHelp);
  EXPECT_EQ(failing.exitStatus, 1);
  EXPECT_EQ(failing.errText, "Help folder");
  // Names that differ only in punctuation are numbered.
  EXPECT_EQ(failing.name, "my_page_dir_reference_x");
  EXPECT_EQ(examples[2].name, "my_page_dir_reference_x_2");
}

TEST(ZvvHelpExampleMarkup, SummaryPatterns) {
  struct Case {
    const char* claim;
    const char* line;
    bool matches;
  };
  const Case cases[] = {
      {"# of # hits shown", "20 of 57 hits shown", true},
      {"20 of # hits shown", "20 of 57 hits shown", true},
      {"# of # hits shown", "57 hits", false},
      {"# hits", "20 of 57 hits shown", false},
      {"# hits", "hits", false},
      {"1 hit", "1 hits", false},
      {"No pages match", "No pages match", true},
      {"a.b (c)", "a.b (c)", true},
      {"a.b", "axb", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesSummary(c.claim, c.line), c.matches) << c.claim << " / " << c.line;
  }
}

}  // namespace
}  // namespace zvv::testing
