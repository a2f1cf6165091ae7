// Command-line parsing: what each form of the command line selects, and what
// it refuses.
#include "cli/options.h"

#include <gtest/gtest.h>

namespace zvv {
namespace {

struct Accepted {
  std::string m_name;
  std::vector<std::string> m_args;
  Command m_command;
  std::string m_query;
};

// Test listings show the case's name instead of its bytes.
void PrintTo(const Accepted& accepted, std::ostream* out) { *out << accepted.m_name; }

class AcceptedCommandLine : public ::testing::TestWithParam<Accepted> {};

TEST_P(AcceptedCommandLine, SelectsCommandAndQuery) {
  const ParsedCommandLine parsed = ParseCommandLine(GetParam().m_args);
  ASSERT_TRUE(parsed.m_options) << parsed.m_error;
  EXPECT_EQ(parsed.m_options->m_command, GetParam().m_command);
  EXPECT_EQ(parsed.m_options->m_query, GetParam().m_query);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, AcceptedCommandLine,
    ::testing::Values(
        Accepted{"BareQuery", {"printer"}, Command::kSearch, "printer"},
        Accepted{"SearchCommandJoinsWords",
                 {"search", "print", "dialog"},
                 Command::kSearch,
                 "print dialog"},
        Accepted{"WordsJoinWithoutCommand", {"print", "dialog"}, Command::kSearch, "print dialog"},
        // A command name later on the line is query text.
        Accepted{"CommandNameAsQueryText", {"search", "index"}, Command::kSearch, "index"},
        Accepted{"CommandNameLaterIsText", {"printer", "watch"}, Command::kSearch, "printer watch"},
        Accepted{"Index", {"index"}, Command::kIndex, ""},
        Accepted{"WatchWithOption", {"watch", "--json"}, Command::kWatch, ""},
        // After "--" every word is query text, a command name too.
        Accepted{"DoubleDashMakesCommandAWord", {"--", "watch"}, Command::kSearch, "watch"},
        Accepted{"SearchThenDoubleDash", {"search", "--", "index"}, Command::kSearch, "index"},
        Accepted{"DoubleDashEndsOptions", {"--", "-r", "--json"}, Command::kSearch, "-r --json"},
        Accepted{"LoneDashIsText", {"a", "-"}, Command::kSearch, "a -"},
        Accepted{"VersionWinsOverLaterErrors", {"--version", "--bogus"}, Command::kVersion, ""},
        Accepted{"HelpAnywhere", {"x", "--help"}, Command::kHelp, ""}),
    [](const auto& info) { return info.param.m_name; });

TEST(CommandLine, ReadsEveryOption) {
  const ParsedCommandLine parsed =
      ParseCommandLine({"--install-dir", "/opt/app", "--title-only", "--dir", "a/", "--dir=b",
                        "--json", "--no-ui", "--limit=0", "setup"});
  ASSERT_TRUE(parsed.m_options) << parsed.m_error;
  const Options& options = *parsed.m_options;
  EXPECT_EQ(options.m_installDir, "/opt/app");
  EXPECT_TRUE(options.m_titleOnly);
  EXPECT_EQ(options.m_dirs, (std::vector<std::string>{"a/", "b"}));
  EXPECT_TRUE(options.m_json);
  EXPECT_EQ(options.m_showUI, std::optional<bool>(false));
  EXPECT_EQ(options.m_limit, 0u);
  EXPECT_EQ(options.m_query, "setup");
}

TEST(CommandLine, DefaultsLeaveTheUIChoiceOpenAndLimitTwenty) {
  const ParsedCommandLine parsed = ParseCommandLine({"q"});
  ASSERT_TRUE(parsed.m_options);
  EXPECT_FALSE(parsed.m_options->m_showUI.has_value());
  EXPECT_EQ(parsed.m_options->m_limit, 20u);
  EXPECT_TRUE(parsed.m_options->m_dirs.empty());
  EXPECT_EQ(ParseCommandLine({"--ui", "q"}).m_options->m_showUI, std::optional<bool>(true));
}

// --open takes a hit number only when one follows; any other word is left to the query.
TEST(CommandLine, OpenTakesAHitNumberWhenOneFollows) {
  struct Case {
    std::vector<std::string> args;
    std::size_t hit;
    std::string query;
  };
  const Case cases[] = {
      {{"--open", "printer"}, 0, "printer"},   {{"--open", "2", "printer"}, 2, "printer"},
      {{"printer", "--open=3"}, 3, "printer"}, {{"--open", "2nd", "printer"}, 0, "2nd printer"},
      {{"printer", "--open"}, 0, "printer"},
  };
  for (const Case& c : cases) {
    const ParsedCommandLine parsed = ParseCommandLine(c.args);
    ASSERT_TRUE(parsed.m_options) << parsed.m_error;
    EXPECT_TRUE(parsed.m_options->m_open);
    EXPECT_EQ(parsed.m_options->m_openHit, c.hit) << c.query;
    EXPECT_EQ(parsed.m_options->m_query, c.query);
  }
  EXPECT_TRUE(ParseCommandLine({"--absolute", "x"}).m_options->m_absolute);
}

struct Refused {
  std::string m_name;
  std::vector<std::string> m_args;
  std::string m_reasonPart;
};

void PrintTo(const Refused& refused, std::ostream* out) { *out << refused.m_name; }

class RefusedCommandLine : public ::testing::TestWithParam<Refused> {};

TEST_P(RefusedCommandLine, SaysWhy) {
  const ParsedCommandLine parsed = ParseCommandLine(GetParam().m_args);
  EXPECT_FALSE(parsed.m_options);
  EXPECT_NE(parsed.m_error.find(GetParam().m_reasonPart), std::string::npos) << parsed.m_error;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, RefusedCommandLine,
    ::testing::Values(Refused{"Nothing", {}, "no query"},
                      Refused{"SearchWithoutQuery", {"search"}, "no query"},
                      Refused{
                          "UnknownOption", {"--frobnicate", "x"}, "unknown option --frobnicate"},
                      Refused{"LimitWithoutValue", {"x", "--limit"}, "--limit needs a value"},
                      Refused{"NegativeLimit", {"--limit", "-3", "x"}, "whole number"},
                      Refused{"LimitWithJunk", {"--limit", "12abc", "x"}, "whole number"},
                      Refused{"EmptyInstallDir", {"--install-dir="}, "needs a folder"},
                      Refused{"FlagWithValue", {"--json=yes", "x"}, "takes no value"},
                      Refused{"IndexWithQuery", {"index", "stray"}, "index takes no query"},
                      Refused{"DirWithoutValue", {"--dir"}, "--dir needs a value"},
                      Refused{"OpenHitZero", {"--open=0", "x"}, "hit number from 1"},
                      Refused{"OpenHitJunk", {"--open=two", "x"}, "hit number from 1"},
                      Refused{"StatusWithQuery", {"status", "stray"}, "status takes no query"}),
    [](const auto& info) { return info.param.m_name; });

}  // namespace
}  // namespace zvv
