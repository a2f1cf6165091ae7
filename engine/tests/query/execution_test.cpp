// Compiled queries run against a real FTS5 collection: what they find, how they score, and in
// which order.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "query/query.h"
#include "query_test_db.h"

namespace dizode::query {
namespace {

using testing::Row;
using testing::TestDb;
using Keys = std::vector<std::string>;

class QueryExecutionTest : public ::testing::Test {
 protected:
  static TestDb& Db() {
    static TestDb db({
        {"a.htm", "Printer setup", "Installing", "Install the printer driver over the network."},
        {"b.htm", "Printing dialogs", "Print",
         "The print dialog lets you choose a printer. Colour."},
        {"c.htm", "Network basics", "Ports", "Configure the network port and the driver. Color."},
        {"d.htm", "Zebra crossing", "", "Nothing about devices here, only an e-mail address."},
        {"e.htm", "Menu reference", "Toolbar", "The toolbar and the context menu commands."},
    });
    return db;
  }

  static Keys Sorted(Keys keys) {
    std::sort(keys.begin(), keys.end());
    return keys;
  }

  static Keys Find(const std::string& query) { return Sorted(Db().Keys(query)); }
};

TEST_F(QueryExecutionTest, BooleanMeaning) {
  EXPECT_EQ(Find("printer driver"), (Keys{"a.htm"}));
  EXPECT_EQ(Find("printer <OR> toolbar"), (Keys{"a.htm", "b.htm", "e.htm"}));
  EXPECT_EQ(Find("driver <NOT> printer"), (Keys{"c.htm"}));
  EXPECT_EQ(Find("driver NOT printer"), (Keys{"c.htm"}));
  EXPECT_EQ(Find("<NOT> driver"), (Keys{"b.htm", "d.htm", "e.htm"}));
  EXPECT_EQ(Find("toolbar <OR> <NOT> driver"), (Keys{"b.htm", "d.htm", "e.htm"}));
  EXPECT_EQ(Find("network <OR> <NOT> printer"), (Keys{"a.htm", "c.htm", "d.htm", "e.htm"}));
  EXPECT_EQ(Find("(printer <OR> <NOT> network) driver"), (Keys{"a.htm"}));
  EXPECT_EQ(Find("<NOT> (printer <OR> network)"), (Keys{"d.htm", "e.htm"}));
  // Every page that lacks either word: only a.htm has both.
  EXPECT_EQ(Find("<NOT> printer <OR> <NOT> driver"), (Keys{"b.htm", "c.htm", "d.htm", "e.htm"}));
  // FTS5 reads `a NOT b c` as `a NOT (b AND c)`; ours is `(a NOT b) AND c`.
  EXPECT_EQ(Find("driver <NOT> printer network"), (Keys{"c.htm"}));
  EXPECT_EQ(Find("\"printer driver\""), (Keys{"a.htm"}));
  EXPECT_EQ(Find("\"driver printer\""), (Keys{}));
}

TEST_F(QueryExecutionTest, NearCountsTokensBetween) {
  // "Install the printer driver": two tokens between install and driver.
  EXPECT_EQ(Find("install <NEAR/2> driver"), (Keys{"a.htm"}));
  EXPECT_EQ(Find("install <NEAR/1> driver"), (Keys{}));
  EXPECT_EQ(Find("driver <NEAR/2> install"), (Keys{"a.htm"}));
  EXPECT_EQ(Find("install <NEAR/2> (driver <OR> port)"), (Keys{"a.htm"}));
  EXPECT_EQ(Find("configure <NEAR/3> (driver <OR> port)"), (Keys{"c.htm"}));
}

TEST_F(QueryExecutionTest, FieldRestrictions) {
  EXPECT_EQ(Find("TITLE <CONTAINS> printer"), (Keys{"a.htm"}));
  EXPECT_EQ(Find("printer"), (Keys{"a.htm", "b.htm"}));
  EXPECT_EQ(Find("TITLE <CONTAINS> network"), (Keys{"c.htm"}));
  EXPECT_EQ(Find("BODY <CONTAINS> network"), (Keys{"a.htm", "c.htm"}));
  EXPECT_EQ(Find("BODY <CONTAINS> toolbar"), (Keys{"e.htm"}));  // a heading
  EXPECT_EQ(Find("TITLE <CONTAINS> <NOT> network"), (Keys{"a.htm", "b.htm", "d.htm", "e.htm"}));
  EXPECT_EQ(Find("TITLE <CONTAINS> (setup <OR> <NOT> network)"),
            (Keys{"a.htm", "b.htm", "d.htm", "e.htm"}));
}

TEST_F(QueryExecutionTest, Wildcards) {
  EXPECT_EQ(Find("print*"), (Keys{"a.htm", "b.htm"}));
  EXPECT_EQ(Find("colo?r"), (Keys{"b.htm"}));
  EXPECT_EQ(Find("colo*r"), (Keys{"b.htm", "c.htm"}));
  EXPECT_EQ(Find("*work"), (Keys{"a.htm", "c.htm"}));
  EXPECT_EQ(Find("?ebra"), (Keys{"d.htm"}));
  EXPECT_EQ(Find("\"the print dia*\""), (Keys{"b.htm"}));
  EXPECT_EQ(Find("qq*z"), (Keys{}));
  EXPECT_EQ(Find("qq*z <OR> zebra"), (Keys{"d.htm"}));
  EXPECT_EQ(Find("<NOT> qq*z"), (Keys{"a.htm", "b.htm", "c.htm", "d.htm", "e.htm"}));
}

TEST_F(QueryExecutionTest, ScoresAreOneToHundredBestFirst) {
  for (const char* query : {"printer", "network <OR> printer", "the", "driver <OR> <NOT> menu",
                            "TITLE <CONTAINS> printer"}) {
    const std::vector<Row> rows = Db().Search(Compile(query, Db().handle()));
    ASSERT_FALSE(rows.empty()) << query;
    EXPECT_EQ(rows.front().score, 100) << query;
    for (size_t i = 0; i < rows.size(); ++i) {
      EXPECT_GE(rows[i].score, 0) << query;
      EXPECT_LE(rows[i].score, 100) << query;
      if (i > 0) {
        EXPECT_GE(rows[i - 1].score, rows[i].score) << query;
      }
      if (i > 0 && rows[i - 1].score == rows[i].score) {
        EXPECT_LE(rows[i - 1].title, rows[i].title) << query;  // titlekey breaks ties
      }
    }
  }
  // The title weighs more than the body: the page titled "Network" comes first.
  const std::vector<Row> rows = Db().Search(Compile("network", Db().handle()));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].key, "c.htm");
  EXPECT_GE(rows[1].score, 1);
  EXPECT_LT(rows[1].score, 100);
}

TEST_F(QueryExecutionTest, NegationOnlyRowsScoreZero) {
  for (const char* query : {"<NOT> printer", "<NOT> qq*z", "NOT driver"}) {
    const std::vector<Row> rows = Db().Search(Compile(query, Db().handle()));
    ASSERT_FALSE(rows.empty()) << query;
    for (const Row& row : rows) {
      EXPECT_EQ(row.score, 0) << query;
    }
    for (size_t i = 1; i < rows.size(); ++i) {
      EXPECT_LT(rows[i - 1].title, rows[i].title);
    }
  }
  // In a union, matched rows are scored and complement rows are 0.
  const std::vector<Row> rows = Db().Search(Compile("toolbar <OR> <NOT> driver", Db().handle()));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].key, "e.htm");
  EXPECT_EQ(rows[0].score, 100);
  EXPECT_EQ(rows[1].score, 0);
  EXPECT_EQ(rows[2].score, 0);
}

TEST_F(QueryExecutionTest, OrderIsStable) {
  const Plan plan = Compile("the", Db().handle());
  const std::vector<Row> first = Db().Search(plan);
  ASSERT_GE(first.size(), 3u);
  for (int run = 0; run < 3; ++run) {
    const std::vector<Row> again = Db().Search(Compile("the", Db().handle()));
    ASSERT_EQ(again.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
      EXPECT_EQ(again[i].key, first[i].key);
      EXPECT_EQ(again[i].score, first[i].score);
    }
  }
}

TEST_F(QueryExecutionTest, RelaxationToOr) {
  Plan plan = Compile("printer zebra", Db().handle());
  ASSERT_TRUE(plan.relaxed);
  ASSERT_TRUE(plan.relaxedWarning);
  EXPECT_EQ(plan.relaxedWarning->code, Code::kRelaxedToOr);
  bool relaxed = false;
  std::vector<Row> rows = Db().Search(plan, &relaxed);
  EXPECT_TRUE(relaxed);
  Keys keys;
  for (const Row& r : rows) {
    keys.push_back(r.key);
  }
  EXPECT_EQ(Sorted(keys), (Keys{"a.htm", "b.htm", "d.htm"}));

  // Relaxation stays inside the titles-only restriction.
  plan = Compile("TITLE <CONTAINS> printer zebra", Db().handle());
  ASSERT_TRUE(plan.relaxedWarning);
  EXPECT_EQ(plan.relaxedWarning->userOffset, 0);
  rows = Db().Search(plan, &relaxed);
  EXPECT_TRUE(relaxed);
  keys.clear();
  for (const Row& r : rows) {
    keys.push_back(r.key);
  }
  EXPECT_EQ(Sorted(keys), (Keys{"a.htm", "d.htm"}));

  // A query that finds something is not relaxed.
  rows = Db().Search(Compile("printer driver", Db().handle()), &relaxed);
  EXPECT_FALSE(relaxed);

  // Operators, wildcards or a single operand: no relaxation.
  for (const char* query : {"printer <AND> zebra", "printer AND zebra", "print* zebra", "zebra",
                            "printer <NOT> zebra"}) {
    EXPECT_FALSE(Compile(query, Db().handle()).relaxed) << query;
  }
}

// A question in plain words is read as its content words: its small words score where they occur
// but do not decide the matches. Any other query keeps every word it names.
TEST_F(QueryExecutionTest, QuestionsMatchByTheirContentWords) {
  const struct {
    const char* query;
    Keys found;
  } cases[] = {
      {"how do I install the printer driver", {"a.htm"}},
      {"how do I configure the driver", {"c.htm"}},
      {"What is a toolbar", {"e.htm"}},
      {"how do I install a printer driver", {"a.htm"}},
      {"what is a printer", {"a.htm", "b.htm"}},
      {"a printer", {"b.htm"}},            // not a question: "a" still decides
      {"how to", {}},                      // only small words: all of them decide
      {"how <AND> to <AND> install", {}},  // operators: every operand decides
      {"how do I \"install the\"", {"a.htm"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Find(c.query), c.found) << c.query;
  }
}

// (Q1) <AND> (Q2) finds exactly the pages both find. TITLE <CONTAINS> Q finds a subset of Q when
// Q has no negation; `TITLE <CONTAINS> <NOT> x` is every page whose title lacks x, which includes
// pages that have x elsewhere.
TEST_F(QueryExecutionTest, QueriesCompose) {
  const char* queries[] = {"printer",
                           "network <OR> menu",
                           "<NOT> driver",
                           "print*",
                           "the driver",
                           "colo*r",
                           "toolbar <OR> <NOT> printer",
                           "\"the network\"",
                           "install <NEAR/3> driver"};
  for (const char* q1 : queries) {
    const Keys k1 = Find(q1);
    const Keys titles = Find(std::string("TITLE <CONTAINS> ") + q1);
    if (std::string_view(q1).find("NOT") == std::string_view::npos) {
      EXPECT_TRUE(std::includes(k1.begin(), k1.end(), titles.begin(), titles.end())) << q1;
    }
    for (const char* q2 : queries) {
      const Keys k2 = Find(q2);
      Keys both;
      std::set_intersection(k1.begin(), k1.end(), k2.begin(), k2.end(), std::back_inserter(both));
      EXPECT_EQ(Find(std::string("(") + q1 + ") <AND> (" + q2 + ")"), both) << q1 << " / " << q2;
    }
  }
}

// Deep alternations either run or are refused as too complex; FTS5 never sees what it cannot
// parse.
TEST_F(QueryExecutionTest, DeepNestingRunsOrIsRefused) {
  int refused = 0;
  for (int depth = 1; depth <= 32; ++depth) {
    for (const char* open :
         {"a <OR> (b ", "a <NOT> (b <OR> ", "a TITLE <CONTAINS> (b <OR> ",
          "a <OR> (TITLE <CONTAINS> b ", "x <NEAR> y <OR> (b ", "a <OR> <NOT> (b <AND> <NOT> ("}) {
      std::string query;
      for (int i = 0; i < depth; ++i) {
        query += open;
      }
      query += "c";
      const Plan plan = Compile(query, Db().handle());
      if (plan.error) {
        EXPECT_EQ(plan.error->code, Code::kTooComplex) << query;
        ++refused;
        continue;
      }
      std::vector<Row> rows;
      std::string error;
      EXPECT_TRUE(Db().Run(plan.statement, rows, error)) << query << ": " << error;
    }
  }
  EXPECT_GT(refused, 0);
}

// Set operations nested as deep as the language allows find what the same operations on each
// word's pages find (the SQL of such a query is deeper than SQLite parses in one piece).
TEST_F(QueryExecutionTest, DeepSetOperationsKeepTheirMeaning) {
  const Keys all = Find("<NOT> zzzabsent");
  const char* words[] = {"printer", "network", "driver", "toolbar", "colour"};
  const auto without = [&all](const Keys& keys) {
    Keys out;
    std::set_difference(all.begin(), all.end(), keys.begin(), keys.end(), std::back_inserter(out));
    return out;
  };
  for (int shape = 0; shape < 3; ++shape) {
    // Built from the innermost group outwards: word OP (inner).
    std::string query = "menu";
    Keys expected = Find("menu");
    for (int depth = 0; depth < 31; ++depth) {
      const char* word = words[(depth + shape) % 5];
      const Keys found = Find(word);
      Keys next;
      switch ((depth + shape) % 3) {
        case 0:  // word <AND> <NOT> (inner)
          query = std::string(word).append(" <AND> <NOT> (").append(query).append(")");
          next = without(expected);
          expected.clear();
          std::set_intersection(found.begin(), found.end(), next.begin(), next.end(),
                                std::back_inserter(expected));
          break;
        case 1:  // word <OR> <NOT> (inner)
          query = std::string(word).append(" <OR> <NOT> (").append(query).append(")");
          next = without(expected);
          expected.clear();
          std::set_union(found.begin(), found.end(), next.begin(), next.end(),
                         std::back_inserter(expected));
          break;
        default:  // <NOT> word <OR> (inner)
          query = std::string("<NOT> ").append(word).append(" <OR> (").append(query).append(")");
          next = without(found);
          next.insert(next.end(), expected.begin(), expected.end());
          expected = Sorted(next);
          expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
          break;
      }
    }
    EXPECT_EQ(Find(query), expected) << query;
  }
}

}  // namespace
}  // namespace dizode::query
