// The parser: precedence and grouping (as canonical printed trees), errors with their offsets,
// and warnings with theirs.
#include <gtest/gtest.h>

#include "query/diagnostics.h"
#include "query/parser.h"
#include "query/printer.h"

namespace dizode::query {
namespace {

struct TreeCase {
  const char* query;
  const char* tree;
};

class QueryParserTreeTest : public ::testing::TestWithParam<TreeCase> {};

TEST_P(QueryParserTreeTest, PrintsCanonicalTree) {
  const TreeCase& c = GetParam();
  const ParseResult result = Parse(c.query, Options{});
  ASSERT_FALSE(result.error) << c.query << ": " << CodeName(result.error->code);
  EXPECT_EQ(Print(result.root), c.tree) << c.query;
}

INSTANTIATE_TEST_SUITE_P(
    Precedence, QueryParserTreeTest,
    ::testing::Values(
        TreeCase{"a <OR> b <NOT> c", "(a OR (b AND NOT c))"},
        TreeCase{"a <NOT> b c", "(a AND NOT b AND c)"}, TreeCase{"<NOT> a b", "(NOT a AND b)"},
        TreeCase{"a b <OR> c d", "((a AND b) OR (c AND d))"},
        TreeCase{"a (b <OR> c)", "(a AND (b OR c))"},
        TreeCase{"<NOT> a <NEAR> b", "NOT NEAR/10(a, b)"},
        TreeCase{"a <NEAR> b <NEAR> c", "NEAR/10(a, b, c)"},
        TreeCase{"x TITLE <CONTAINS> a <OR> b", "(x AND TITLE:((a OR b)))"},
        TreeCase{"(TITLE <CONTAINS> a) b", "(TITLE:(a) AND b)"},
        TreeCase{"title <contains> a", "TITLE:(a)"}, TreeCase{"body <CONTAINS> a", "BODY:(a)"},
        TreeCase{"NOT a", "NOT a"}, TreeCase{"a NOT", "(a AND not)"},
        TreeCase{"OR a", "(or AND a)"}, TreeCase{"a AND", "(a AND and)"},
        TreeCase{"ACCESS NOT ALLOWED", "(access AND not AND allowed)"},
        TreeCase{"a and b", "(a AND and AND b)"}, TreeCase{"((a))", "a"},
        TreeCase{"a () b", "(a AND b)"}, TreeCase{"\"\" a", "a"},
        TreeCase{"sync() f(x) (g(y))", "(sync AND [f x] AND [g y])"}, TreeCase{"\\(a\\)", "a"},
        TreeCase{"\"print dia*\" pr*nt colo?r print?",
                 "(\"print dia*\" AND pr*nt AND colo?r AND print)"},
        TreeCase{"what?! a[1]", "(what AND [a 1])"}, TreeCase{"a\\*b", "[a b]"},
        TreeCase{"<NOT> <NOT> a", "a"},
        // A bare NEAR that would take an invalid operand is a word (plain text never fails).
        TreeCase{"a NEAR (b c)", "(a AND near AND b AND c)"},
        TreeCase{"(a b) NEAR c", "(a AND b AND near AND c)"},
        TreeCase{"a NEAR NOT b", "(a AND near AND NOT b)"},
        TreeCase{"a NEAR b NEAR (c d)", "(NEAR/10(a, b) AND near AND c AND d)"}));

struct DiagnosticCase {
  const char* query;
  Code code;
  int offset;
  int length;
};

class QueryParserErrorTest : public ::testing::TestWithParam<DiagnosticCase> {};

TEST_P(QueryParserErrorTest, ReportsError) {
  const DiagnosticCase& c = GetParam();
  const ParseResult result = Parse(c.query, Options{});
  ASSERT_TRUE(result.error) << c.query;
  EXPECT_EQ(CodeName(result.error->code), CodeName(c.code)) << c.query;
  EXPECT_EQ(result.error->offset, c.offset) << c.query;
  EXPECT_EQ(result.error->length, c.length) << c.query;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, QueryParserErrorTest,
    ::testing::Values(
        DiagnosticCase{"TITLE <CONTAINS> BODY <CONTAINS> x", Code::kFieldConflict, 17, 4},
        DiagnosticCase{"TITLE <CONTAINS> ", Code::kEmpty, 17, 0},
        DiagnosticCase{"TITLE <CONTAINS> <OR> x", Code::kMissingOperand, 17, 4},
        DiagnosticCase{"SUBJECT <CONTAINS> x", Code::kUnknownField, 0, 7},
        DiagnosticCase{"<CONTAINS> x", Code::kMissingField, 0, 10},
        DiagnosticCase{"\"title\" <CONTAINS> x", Code::kMissingField, 8, 10},
        DiagnosticCase{"print <ANDD> x", Code::kUnknownOperator, 6, 6},
        DiagnosticCase{"a <ADJ/2> b", Code::kUnknownOperator, 2, 7},
        DiagnosticCase{"a <AND> <AND> b", Code::kMissingOperand, 8, 5},
        DiagnosticCase{"<NEAR> driver", Code::kMissingOperand, 0, 6},
        DiagnosticCase{"<OR> a", Code::kMissingOperand, 0, 4},
        DiagnosticCase{"a <OR>", Code::kMissingOperand, 2, 4},
        DiagnosticCase{"(a <AND>) b", Code::kMissingOperand, 3, 5},
        DiagnosticCase{"a <NOT>", Code::kMissingOperand, 2, 5},
        DiagnosticCase{"printer <NEAR/99> driver", Code::kBadOperatorArgument, 8, 9},
        DiagnosticCase{"a <OR/2> b", Code::kBadOperatorArgument, 2, 6},
        DiagnosticCase{"a <NEAR/-5> b", Code::kBadOperatorArgument, 2, 9},
        DiagnosticCase{"a <near/x> b", Code::kBadOperatorArgument, 2, 8},
        DiagnosticCase{"a <NEAR/> b", Code::kBadOperatorArgument, 2, 7},
        DiagnosticCase{"printer <NEAR> (driver <NOT> port)", Code::kNearOperand, 15, 19},
        DiagnosticCase{"a <NEAR> (b c)", Code::kNearOperand, 9, 5},
        DiagnosticCase{"a <NEAR> TITLE <CONTAINS> b", Code::kNearOperand, 9, 18},
        DiagnosticCase{"a <NEAR> <NOT> b", Code::kNearOperand, 9, 7},
        DiagnosticCase{"*", Code::kEmpty, 1, 0}, DiagnosticCase{"&&", Code::kEmpty, 2, 0},
        DiagnosticCase{"", Code::kEmpty, 0, 0},
        DiagnosticCase{" \xE3\x80\x80 ", Code::kEmpty, 5, 0},
        DiagnosticCase{"(TITLE <CONTAINS> &&) a", Code::kEmpty, 20, 0},
        DiagnosticCase{"a <NEAR> b <NEAR> c <NEAR> d <NEAR> e <NEAR> f <NEAR> g <NEAR> h <NEAR> i",
                       Code::kTooComplex, 72, 1}));

TEST(QueryParserLimitsTest, NestingAndLength) {
  const std::string deep = std::string(33, '(') + "a";
  ParseResult result = Parse(deep, Options{});
  ASSERT_TRUE(result.error);
  EXPECT_EQ(result.error->code, Code::kTooComplex);
  EXPECT_EQ(result.error->offset, 32);
  EXPECT_FALSE(Parse(std::string(32, '(') + "a", Options{}).error);

  // The titles-only prefix keeps a valid query valid, even at the deepest grouping.
  EXPECT_FALSE(Parse("TITLE <CONTAINS> " + std::string(32, '(') + "a", Options{}).error);

  std::string fields;
  for (int i = 0; i < 70; ++i) {
    fields += "TITLE <CONTAINS> ";
  }
  result = Parse(fields + "a", Options{});
  ASSERT_TRUE(result.error);
  EXPECT_EQ(result.error->code, Code::kTooComplex);
  EXPECT_FALSE(Parse(fields.substr(0, size_t{17} * 60) + "a", Options{}).error);

  result = Parse(std::string(4097, 'a'), Options{});
  ASSERT_TRUE(result.error);
  EXPECT_EQ(result.error->code, Code::kTooComplex);
  EXPECT_EQ(result.error->length, 4097);
  EXPECT_FALSE(Parse(std::string(4096, 'a'), Options{}).error);
}

struct WarningCase {
  const char* query;
  std::vector<std::tuple<Code, int, int>> warnings;
};

class QueryParserWarningTest : public ::testing::TestWithParam<WarningCase> {};

TEST_P(QueryParserWarningTest, ReportsWarnings) {
  const WarningCase& c = GetParam();
  const ParseResult result = Parse(c.query, Options{});
  std::vector<std::tuple<Code, int, int>> actual;
  for (const Diagnostic& d : result.warnings) {
    actual.emplace_back(d.code, d.offset, d.length);
  }
  EXPECT_EQ(actual, c.warnings) << c.query;
}

INSTANTIATE_TEST_SUITE_P(
    Warnings, QueryParserWarningTest,
    ::testing::Values(WarningCase{"PRINTER NOT FOUND", {{Code::kOperatorAsWord, 8, 3}}},
                      WarningCase{"*", {{Code::kIgnoredWord, 0, 1}}},
                      WarningCase{"\"unterminated phrase", {{Code::kQuoteAutoclosed, 0, 1}}},
                      WarningCase{"(printer <OR> driver", {{Code::kUnclosedParen, 0, 1}}},
                      WarningCase{"printer)", {{Code::kUnmatchedParen, 7, 1}}},
                      WarningCase{"print && export", {{Code::kIgnoredWord, 6, 2}}},
                      WarningCase{"a \"\" b", {{Code::kIgnoredWord, 2, 2}}},
                      WarningCase{"a () b", {{Code::kIgnoredWord, 2, 2}}},
                      WarningCase{"a OR", {{Code::kOperatorAsWord, 2, 2}}},
                      WarningCase{"a OR b", {}},
                      WarningCase{"((a) b", {{Code::kUnclosedParen, 0, 1}}}));

TEST(QueryParserOptionsTest, BareOperatorsCanBeSwitchedOff) {
  Options options;
  options.bareOperators = false;
  const ParseResult result = Parse("a OR b", options);
  ASSERT_FALSE(result.error);
  EXPECT_EQ(Print(result.root), "(a AND or AND b)");
  EXPECT_EQ(Print(Parse("a <OR> b", options).root), "(a OR b)");
}

// The host's titles-only switch prepends 17 bytes; userOffset points into the user's text.
TEST(QueryDiagnosticOffsetsTest, UserOffsetSkipsTitlesOnlyPrefix) {
  Plan plan = Compile("TITLE <CONTAINS> <OR> x", nullptr);
  ASSERT_TRUE(plan.error);
  EXPECT_EQ(plan.error->offset, 17);
  EXPECT_EQ(plan.error->userOffset, 0);

  plan = Compile("TITLE <CONTAINS> a)", nullptr);
  ASSERT_EQ(plan.warnings.size(), 1u);
  EXPECT_EQ(plan.warnings[0].userOffset, 1);

  plan = Compile("TITLE <CONTAINS> ", nullptr);
  ASSERT_TRUE(plan.error);
  EXPECT_EQ(plan.error->code, Code::kEmpty);
  EXPECT_EQ(plan.error->userOffset, 0);

  plan = Compile("TITLE <CONTAINS> TITLE <CONTAINS> BODY <CONTAINS> x", nullptr);
  ASSERT_TRUE(plan.error);
  EXPECT_EQ(plan.error->userOffset, 17);

  // Inside the prefix: -1. Without the exact prefix, userOffset equals offset.
  plan = Compile("TITLE <CONTAINS> a b", nullptr);
  EXPECT_FALSE(plan.error);
  Diagnostic d = MakeDiagnostic(Code::kIgnoredWord, 3, 1);
  Plan probe;
  probe.warnings.push_back(d);
  FinishOffsets(probe, "TITLE <CONTAINS> x");
  EXPECT_EQ(probe.warnings[0].userOffset, -1);
  FinishOffsets(probe, "TITLE  <CONTAINS> x");
  EXPECT_EQ(probe.warnings[0].userOffset, 3);
}

TEST(QueryDiagnosticStatusTest, EveryErrorHasItsOwnStatus) {
  std::vector<int32_t> seen;
  for (Code code : {Code::kUnknownOperator, Code::kBadOperatorArgument, Code::kMissingOperand,
                    Code::kUnknownField, Code::kMissingField, Code::kFieldConflict,
                    Code::kNearOperand, Code::kTooComplex, Code::kOutOfTime, Code::kInternal}) {
    const int32_t status = StatusFor(code);
    EXPECT_LT(status, 0) << CodeName(code);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), status), 0) << CodeName(code);
    seen.push_back(status);
  }
  EXPECT_EQ(StatusFor(Code::kEmpty), 0);
  EXPECT_TRUE(IsError(Code::kEmpty));
  EXPECT_FALSE(IsError(Code::kQuoteAutoclosed));
}

}  // namespace
}  // namespace dizode::query
