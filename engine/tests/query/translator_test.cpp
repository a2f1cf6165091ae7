// Conformance vectors: query text -> the FTS5 MATCH text the engine runs.
//
// Chains of one operator print flat,
// `("a" AND "b" AND "c")`, because FTS5's parser stack overflows on deep nesting; AND and OR
// are associative, so only the shape changes.
#include <gtest/gtest.h>

#include "query/parser.h"
#include "query/query.h"
#include "query/translator.h"
#include "query_test_db.h"

namespace dizode::query {
namespace {

using testing::TestDb;

// The MATCH text of a plan; negative-only plans read "NOT <text>".
std::string MatchOf(const Plan& plan) {
  if (plan.error) {
    return std::string("error ") + std::string(CodeName(plan.error->code));
  }
  if (plan.matchesNothing) {
    return "nothing";
  }
  if (plan.statement.params.empty()) {
    return "all";
  }
  const std::string& sql = plan.statement.sql;
  if (sql.find("MATCH") != sql.rfind("MATCH")) {
    return "mixed";
  }
  const bool negative = plan.statement.sql.find("NOT IN") != std::string::npos;
  return (negative ? "NOT " : "") + plan.statement.params.front();
}

struct Vector {
  std::string query;
  std::string match;
};

// A plain word's group: the word itself or its stem, which the index keeps behind U+E000.
std::string W(const std::string& word, const std::string& stem = "") {
  return "(\"" + word + "\" OR \"\xEE\x80\x80" + (stem.empty() ? word : stem) + "\")";
}

class QueryTranslatorTest : public ::testing::TestWithParam<Vector> {
 protected:
  static TestDb& Db() {
    // Only the vocabulary matters here: wildcard patterns expand against it.
    static TestDb db({{"a.htm", "Colors", "", "color colour collar cooler"},
                      {"b.htm", "Colors again", "", "color"}});
    return db;
  }
};

TEST_P(QueryTranslatorTest, MatchText) {
  const Vector& v = GetParam();
  EXPECT_EQ(MatchOf(Compile(v.query, Db().handle())), v.match) << v.query;
}

INSTANTIATE_TEST_SUITE_P(
    Vectors, QueryTranslatorTest,
    ::testing::Values(
        Vector{"print", W("print")},
        Vector{"printing dialogs",
               "(" + W("printing", "print") + " AND " + W("dialogs", "dialog") + ")"},
        Vector{"\"printing dialogs\"", R"("printing dialogs")"}, Vector{"\"news\"", R"("news")"},
        Vector{"print <OR> export", "(" + W("print") + " OR " + W("export") + ")"},
        Vector{"print OR export", "(" + W("print") + " OR " + W("export") + ")"},
        Vector{"print or export",
               "(" + W("print") + " AND " + W("or") + " AND " + W("export") + ")"},
        Vector{"print <and> export", "(" + W("print") + " AND " + W("export") + ")"},
        Vector{"printer NOT found", "(" + W("printer") + " NOT " + W("found") + ")"},
        Vector{"PRINTER NOT FOUND",
               "(" + W("printer") + " AND " + W("not") + " AND " + W("found") + ")"},
        Vector{"<NOT> printer", "NOT " + W("printer")},
        Vector{"toolbar <OR> menu <NOT> context",
               "(" + W("toolbar") + " OR (" + W("menu") + " NOT " + W("context") + "))"},
        Vector{"(toolbar <OR> menu) <NOT> context",
               "((" + W("toolbar") + " OR " + W("menu") + ") NOT " + W("context") + ")"},
        Vector{"printer <NOT> network driver",
               "((" + W("printer") + " NOT " + W("network") + ") AND " + W("driver") + ")"},
        Vector{"<NOT> a b", "(" + W("b") + " NOT " + W("a") + ")"},
        Vector{"a <NOT> b <NOT> c", "(" + W("a") + " NOT (" + W("b") + " OR " + W("c") + "))"},
        Vector{"TITLE <CONTAINS> print setup",
               "{title} : ((" + W("print") + " AND " + W("setup") + "))"},
        Vector{"TITLE <CONTAINS> print <OR> setup",
               "{title} : ((" + W("print") + " OR " + W("setup") + "))"},
        Vector{"network TITLE <CONTAINS> printer",
               "(" + W("network") + " AND {title} : (" + W("printer") + "))"},
        Vector{"(TITLE <CONTAINS> printer) network",
               "({title} : (" + W("printer") + ") AND " + W("network") + ")"},
        Vector{"BODY <CONTAINS> x", "{heads body} : (" + W("x") + ")"},
        Vector{"TITLE <CONTAINS> TITLE <CONTAINS> x", "{title} : ({title} : (" + W("x") + "))"},
        Vector{"printer <NEAR> driver",
               "(NEAR(\"printer\" \"driver\", 10) OR NEAR(\"printer\" \"\xEE\x80\x80"
               "driver\", 10) OR "
               "NEAR(\"\xEE\x80\x80printer\" \"driver\", 10) OR "
               "NEAR(\"\xEE\x80\x80printer\" \"\xEE\x80\x80"
               "driver\", 10))"},
        Vector{"printer <NEAR/3> \"test page\"",
               "(NEAR(\"printer\" \"test page\", 3) OR NEAR(\"\xEE\x80\x80printer\" \"test page\", "
               "3))"},
        Vector{"\"a\" <NEAR/5> \"b\" <NEAR/2> \"c\"", R"(NEAR("a" "b" "c", 2))"},
        Vector{"\"a\" <NEAR> (\"b\" <OR> \"c\")", R"((NEAR("a" "b", 10) OR NEAR("a" "c", 10)))"},
        Vector{"\"a\" <NEAR> colo*r", R"((NEAR("a" "color", 10) OR NEAR("a" "colour", 10)))"},
        Vector{"C++", R"("c++")"}, Vector{"C# .NET", R"(("c#" AND ".net"))"},
        // A name with keeping glue also scores by its parts, without matching more pages.
        Vector{"foo.bar", R"((("foo.bar" OR "foo bar") AND ("foo" OR "bar")))"},
        Vector{"QString::arg()", R"((("qstring::arg" OR "qstring arg") AND ("qstring" OR "arg")))"},
        Vector{"e-mail",
               "(\"e-mail\" OR \"e mail\" OR \"email\" OR \"\xEE\x80\x80"
               "email\")"},
        Vector{"email", W("email")},
        Vector{"10.0.0.1", R"((("10.0.0.1" OR "10 0 0 1") AND ("10" OR "0" OR "1")))"},
        Vector{"vector<int>", R"("vector int")"}, Vector{"<int>", W("int")},
        Vector{"<b>bold</b>", R"("b bold b")"}, Vector{"sync()", W("sync")},
        Vector{"f(x)", R"("f x")"}, Vector{"(f(x))", R"("f x")"}, Vector{"print*", R"("print" *)"},
        Vector{"std::vec*", R"("std::vec" *)"},
        // `?` is exactly one character: colo?r finds colour, not color.
        Vector{"colo?r", R"("colour")"},
        Vector{"co*r", R"(("color" OR "collar" OR "colour" OR "cooler"))"},
        Vector{"zz?z", "nothing"}, Vector{"zz?z <OR> print", W("print")},
        Vector{"zz?z print", "nothing"}, Vector{"print?", W("print")},
        Vector{"a * b", "(" + W("a") + " AND " + W("b") + ")"},
        Vector{"\"print dia*\"", R"("print" + "dia" *)"}, Vector{"\"a*b c\"", R"("a b c")"},
        Vector{"\"unterminated phrase", R"("unterminated phrase")"},
        Vector{"(printer <OR> driver", "(" + W("printer") + " OR " + W("driver") + ")"},
        Vector{"printer)", W("printer")},
        Vector{"print && export", "(" + W("print") + " AND " + W("export") + ")"},
        Vector{"caf\xC3\xA9", W("cafe")},
        Vector{"\xEF\xBC\xA3\xEF\xBC\xA1\xEF\xBC\xA6\xC3\x89", W("cafe")},
        Vector{"stra\xC3\x9F"
               "e",
               W("strasse", "strass")},
        Vector{"co\xC2\xADop", W("coop")},
        // A run of CJK characters is the phrase of its neighbour pairs; one character is itself.
        Vector{"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",
               "\"\xE6\x97\xA5\xE6\x9C\xAC \xE6\x9C\xAC\xE8\xAA\x9E\""},
        Vector{"\xE8\xAA\x9E", "\"\xE8\xAA\x9E\""}, Vector{"\\<AND\\>", W("and")},
        Vector{
            R"(C:\Windows\System32)",
            R"((("c:\windows\system32" OR "c windows system32") AND ("c" OR "windows" OR "system32")))"},
        Vector{"(print) <AND> (TITLE <CONTAINS> setup)",
               "(" + W("print") + " AND {title} : (" + W("setup") + "))"},
        Vector{"a\\\"b", R"("a b")"},
        Vector{"\xE2\x80\x9Cprint dialog\xE2\x80\x9D", R"("print dialog")"},
        Vector{"a <NOT> <NOT> b", "(" + W("a") + " AND " + W("b") + ")"},
        Vector{"<NOT> (a <OR> b)", "NOT (" + W("a") + " OR " + W("b") + ")"},
        Vector{"<NOT> a <NOT> b", "NOT (" + W("a") + " OR " + W("b") + ")"},
        Vector{"<NOT> zz?z", "all"}));

// A negation of nothing and an OR with a negative-only branch have no single MATCH text.
TEST(QueryTranslatorSqlTest, NegativeAndMixedShapes) {
  TestDb db({{"a.htm", "A", "", "alpha"}});
  const Plan all = Compile("<NOT> zz?z", db.handle());
  EXPECT_TRUE(all.statement.params.empty());
  EXPECT_EQ(all.statement.sql.find("MATCH"), std::string::npos);
  const Plan mixed = Compile("a <OR> <NOT> b", db.handle());
  ASSERT_FALSE(mixed.error);
  // The union of the positive texts scores the rows; the weights and the evidence follow it.
  const std::vector<std::string>& params = mixed.statement.params;
  ASSERT_EQ(params.size(), 5u);
  EXPECT_EQ(params[0], W("a"));
  EXPECT_EQ(params[1], "1/0,0.6/0");
  EXPECT_EQ(mixed.statement.evidenceParam, 3);
  EXPECT_EQ(mixed.statement.evidenceMatch, W("a").substr(1, W("a").size() - 2));
  EXPECT_EQ(params[3], W("a"));
  EXPECT_EQ(params[4], W("b"));
}

// The MATCH text is always a bound parameter, never part of the SQL.
TEST(QueryTranslatorSqlTest, QueryTextNeverReachesSql) {
  TestDb db({{"a.htm", "A", "", "alpha"}});
  for (const char* query : {"x'); DROP TABLE pages; --", "\"'\" <OR> a", "<NOT> '1'='1'"}) {
    const Plan plan = Compile(query, db.handle());
    ASSERT_FALSE(plan.error) << query;
    EXPECT_EQ(plan.statement.sql.find('\''), std::string::npos) << plan.statement.sql;
  }
}

// A wildcard whose vocabulary scan runs out of the search's time is a query too costly to run,
// not an internal failure; one the vocabulary cannot answer at all is internal.
TEST(QueryTranslatorSqlTest, InterruptedExpansionIsTooComplex) {
  const ParseResult parsed = Parse("*ing", Options{});
  ASSERT_FALSE(parsed.error);
  const auto interrupted = [](const std::string&) {
    Expansion e;
    e.error = "interrupted";
    e.interrupted = true;
    return e;
  };
  const auto broken = [](const std::string&) {
    Expansion e;
    e.error = "no such table";
    return e;
  };
  const Translation slow = Translate(parsed.root, interrupted);
  ASSERT_TRUE(slow.error);
  EXPECT_EQ(slow.error->code, Code::kOutOfTime);
  const Translation failed = Translate(parsed.root, broken);
  ASSERT_TRUE(failed.error);
  EXPECT_EQ(failed.error->code, Code::kInternal);
}

// Phrases under NOT score nothing; each typed word is a group of its own.
TEST(QueryTranslatorSqlTest, WeightsFollowThePhraseOrder) {
  TestDb db({{"a.htm", "A", "", "alpha"}});
  const Plan plan = Compile("print \"dialog box\" <NOT> fax", db.handle());
  ASSERT_FALSE(plan.error);
  ASSERT_EQ(plan.statement.params.size(), 3u);
  EXPECT_EQ(plan.statement.params[1], "1/0,0.6/0,1/1,0/2,0/2");
  // The link evidence is read with the scored phrases only, numbered as in the MATCH text.
  EXPECT_EQ(plan.statement.evidenceParam, 3);
  EXPECT_EQ(plan.statement.evidencePhrases, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(plan.statement.evidenceMatch.substr(plan.statement.evidenceMatch.rfind(" OR ")),
            " OR \"dialog box\"");
}

}  // namespace
}  // namespace dizode::query
