// Conformance vectors: query text -> the FTS5 MATCH text the engine runs.
//
// The index uses FTS5's porter stemmer, which stems both the pages and the MATCH text, so a word
// has one alternative (no separate stem token), and glue characters split words the way
// unicode61 does (`foo.bar` -> "foo bar", `C++` -> "c"). The expected texts below are the
// language's vectors rewritten for that tokenizer. Chains of one operator print flat,
// `("a" AND "b" AND "c")`, because FTS5's parser stack overflows on deep nesting; AND and OR
// are associative, so only the shape changes.
#include <gtest/gtest.h>

#include "query/query.h"
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
  if (plan.statement.params.size() != 1) {
    return "mixed";
  }
  const bool negative = plan.statement.sql.find("NOT IN") != std::string::npos;
  return (negative ? "NOT " : "") + plan.statement.params.front();
}

struct Vector {
  const char* query;
  const char* match;
};

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
        Vector{"print", R"("print")"}, Vector{"printing dialogs", R"(("printing" AND "dialogs"))"},
        Vector{"\"printing dialogs\"", R"("printing dialogs")"}, Vector{"\"news\"", R"("news")"},
        Vector{"print <OR> export", R"(("print" OR "export"))"},
        Vector{"print OR export", R"(("print" OR "export"))"},
        Vector{"print or export", R"(("print" AND "or" AND "export"))"},
        Vector{"print <and> export", R"(("print" AND "export"))"},
        Vector{"printer NOT found", R"(("printer" NOT "found"))"},
        Vector{"PRINTER NOT FOUND", R"(("printer" AND "not" AND "found"))"},
        Vector{"<NOT> printer", R"(NOT "printer")"},
        Vector{"toolbar <OR> menu <NOT> context", R"(("toolbar" OR ("menu" NOT "context")))"},
        Vector{"(toolbar <OR> menu) <NOT> context", R"((("toolbar" OR "menu") NOT "context"))"},
        Vector{"printer <NOT> network driver", R"((("printer" NOT "network") AND "driver"))"},
        Vector{"<NOT> a b", R"(("b" NOT "a"))"},
        Vector{"a <NOT> b <NOT> c", R"(("a" NOT ("b" OR "c")))"},
        Vector{"TITLE <CONTAINS> print setup", R"({title} : (("print" AND "setup")))"},
        Vector{"TITLE <CONTAINS> print <OR> setup", R"({title} : (("print" OR "setup")))"},
        Vector{"network TITLE <CONTAINS> printer", R"(("network" AND {title} : ("printer")))"},
        Vector{"(TITLE <CONTAINS> printer) network", R"(({title} : ("printer") AND "network"))"},
        Vector{"BODY <CONTAINS> x", R"({heads body} : ("x"))"},
        Vector{"TITLE <CONTAINS> TITLE <CONTAINS> x", R"({title} : ({title} : ("x")))"},
        Vector{"printer <NEAR> driver", R"(NEAR("printer" "driver", 10))"},
        Vector{"printer NEAR driver", R"(NEAR("printer" "driver", 10))"},
        Vector{"printer <NEAR/3> \"test page\"", R"(NEAR("printer" "test page", 3))"},
        Vector{"a <NEAR/5> b <NEAR/2> c", R"(NEAR("a" "b" "c", 2))"},
        Vector{"a <NEAR> (b <OR> c)", R"((NEAR("a" "b", 10) OR NEAR("a" "c", 10)))"},
        Vector{"a <NEAR> colo*r", R"((NEAR("a" "color", 10) OR NEAR("a" "colour", 10)))"},
        Vector{"C++", R"("c")"}, Vector{"C# .NET", R"(("c" AND "net"))"},
        Vector{"foo.bar", R"("foo bar")"}, Vector{"QString::arg()", R"("qstring arg")"},
        Vector{"e-mail", R"("e mail")"}, Vector{"email", R"("email")"},
        Vector{"10.0.0.1", R"("10 0 0 1")"}, Vector{"vector<int>", R"("vector int")"},
        Vector{"<int>", R"("int")"}, Vector{"<b>bold</b>", R"("b bold b")"},
        Vector{"sync()", R"("sync")"}, Vector{"f(x)", R"("f x")"}, Vector{"(f(x))", R"("f x")"},
        Vector{"print*", R"("print" *)"}, Vector{"std::vec*", R"("std" + "vec" *)"},
        // `?` is exactly one character: colo?r finds colour, not color.
        Vector{"colo?r", R"("colour")"},
        Vector{"co*r", R"(("color" OR "collar" OR "colour" OR "cooler"))"},
        Vector{"zz?z", "nothing"}, Vector{"zz?z <OR> print", R"("print")"},
        Vector{"zz?z print", "nothing"}, Vector{"print?", R"("print")"},
        Vector{"a * b", R"(("a" AND "b"))"}, Vector{"\"print dia*\"", R"("print" + "dia" *)"},
        Vector{"\"a*b c\"", R"("a b c")"},
        Vector{"\"unterminated phrase", R"("unterminated phrase")"},
        Vector{"(printer <OR> driver", R"(("printer" OR "driver"))"},
        Vector{"printer)", R"("printer")"}, Vector{"print && export", R"(("print" AND "export"))"},
        Vector{"caf\xC3\xA9", R"("cafe")"},
        // unicode61 keeps a run of CJK characters as one token.
        Vector{"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "\"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\""},
        Vector{"\xE8\xAA\x9E", "\"\xE8\xAA\x9E\""}, Vector{"\\<AND\\>", R"("and")"},
        Vector{R"(C:\Windows\System32)", R"("c windows system32")"},
        Vector{"(print) <AND> (TITLE <CONTAINS> setup)", R"(("print" AND {title} : ("setup")))"},
        Vector{"a\\\"b", R"("a b")"},
        Vector{"\xE2\x80\x9Cprint dialog\xE2\x80\x9D", R"("print dialog")"},
        Vector{"a <NOT> <NOT> b", R"(("a" AND "b"))"},
        Vector{"<NOT> (a <OR> b)", R"(NOT ("a" OR "b"))"},
        Vector{"<NOT> a <NOT> b", R"(NOT ("a" OR "b"))"}, Vector{"<NOT> zz?z", "all"}));

// A negation of nothing and an OR with a negative-only branch have no single MATCH text.
TEST(QueryTranslatorSqlTest, NegativeAndMixedShapes) {
  TestDb db({{"a.htm", "A", "", "alpha"}});
  const Plan all = Compile("<NOT> zz?z", db.handle());
  EXPECT_TRUE(all.statement.params.empty());
  EXPECT_EQ(all.statement.sql.find("MATCH"), std::string::npos);
  const Plan mixed = Compile("a <OR> <NOT> b", db.handle());
  ASSERT_FALSE(mixed.error);
  EXPECT_EQ(mixed.statement.params, (std::vector<std::string>{R"("a")", R"("a")", R"("b")"}));
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

}  // namespace
}  // namespace dizode::query
