// help_rank over small in-memory collections: each case checks a relation between scores
// (this page above that one, this score a fixed multiple of that one) rather than raw values.
// Filler pages keep the fixture words rare and the column lengths at their average.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "query/help_rank.h"
#include "query/help_rank_weights.h"

namespace dizode::query {
namespace {

struct Page {
  std::string key;
  std::string title;  // also the page's title key
  std::string heads;
  std::string body;
};

using Text = std::optional<std::string>;  // nullopt binds NULL

// Six-token bodies, the length of every filler body.
constexpr const char* kBody = "lorem ipsum dolor sit amet elit";

class RankDb {
 public:
  explicit RankDb(std::vector<Page> pages, const RankParams& params = {}) {
    EXPECT_EQ(sqlite3_open(":memory:", &m_db), SQLITE_OK);
    EXPECT_EQ(RegisterHelpRank(m_db, params), SQLITE_OK);
    Exec(
        "CREATE TABLE pages(id INTEGER PRIMARY KEY, key TEXT, titlekey TEXT);"
        "CREATE VIRTUAL TABLE fts USING fts5(title, heads, body);");
    for (int i = 0; i < 20; ++i) {
      pages.push_back({"filler" + std::to_string(i), "filler page", "common heading", kBody});
    }
    for (const Page& page : pages) {
      Run("INSERT INTO pages(key, titlekey) VALUES(?1, ?2)", {page.key, page.title});
      Run("INSERT INTO fts(rowid, title, heads, body) VALUES(last_insert_rowid(), ?1, ?2, ?3)",
          {page.title, page.heads, page.body});
    }
  }
  ~RankDb() { sqlite3_close(m_db); }
  RankDb(const RankDb&) = delete;
  RankDb& operator=(const RankDb&) = delete;

  void Exec(const char* sql) {
    ASSERT_EQ(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
  }

  // Key → score of every page matching `match`.
  std::map<std::string, double> Scores(const std::string& match, const Text& weights,
                                       const Text& queryKey = "") {
    std::map<std::string, double> scores;
    Run("SELECT p.key, help_rank(fts, ?2, p.titlekey, ?3) FROM fts JOIN pages p"
        " ON p.id = fts.rowid WHERE fts MATCH ?1",
        {match, weights, queryKey}, [&](sqlite3_stmt* stmt) {
          scores[reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))] =
              sqlite3_column_double(stmt, 1);
        });
    return scores;
  }

  // Keys of the rows of `sql` (first column) in the order SQLite returns them.
  std::vector<std::string> Keys(const char* sql) {
    std::vector<std::string> keys;
    Run(sql, {}, [&](sqlite3_stmt* stmt) {
      keys.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    });
    return keys;
  }

 private:
  void Run(const char* sql, const std::vector<Text>& params,
           const std::function<void(sqlite3_stmt*)>& onRow = nullptr) {
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr), SQLITE_OK) << sqlite3_errmsg(m_db);
    for (size_t i = 0; i < params.size(); ++i) {
      if (params[i]) {
        sqlite3_bind_text(stmt, static_cast<int>(i + 1), params[i]->data(),
                          static_cast<int>(params[i]->size()), SQLITE_TRANSIENT);
      }
    }
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
      if (onRow) {
        onRow(stmt);
      }
    }
    EXPECT_EQ(rc, SQLITE_DONE) << sqlite3_errmsg(m_db);
    sqlite3_finalize(stmt);
  }

  sqlite3* m_db = nullptr;
};

TEST(HelpRank, TitleOutranksHeadingsOutranksBodyAndOrdersRows) {
  RankDb db({{"title", "alpha page", "common heading", kBody},
             {"heads", "some page", "alpha heading", kBody},
             {"body", "some page", "common heading", "alpha ipsum dolor sit amet elit"}});
  const auto scores = db.Scores("alpha", "1");
  EXPECT_GT(scores.at("title"), scores.at("heads"));
  EXPECT_GT(scores.at("heads"), scores.at("body"));
  EXPECT_GT(scores.at("body"), 0);
  const std::vector<std::string> order = {"title", "heads", "body"};
  EXPECT_EQ(db.Keys("SELECT p.key FROM fts JOIN pages p ON p.id = fts.rowid WHERE fts MATCH"
                    " 'alpha' ORDER BY help_rank(fts, '1', p.titlekey, '') DESC"),
            order);
  // The optional arguments may be left off.
  EXPECT_EQ(db.Keys("SELECT p.key FROM fts JOIN pages p ON p.id = fts.rowid WHERE fts MATCH"
                    " 'alpha' ORDER BY help_rank(fts) DESC"),
            order);
}

TEST(HelpRank, WordOnNearlyEveryPageStillCountsButLessThanARareOne) {
  // "common" is in every page's headings but one; "rare" in two bodies.
  const std::vector<Page> pages = {
      {"both", "some page", "common heading", "rare ipsum dolor sit amet elit"},
      {"rareonly", "some page", "other heading", "rare ipsum dolor sit amet elit"}};
  const auto gain = [&](double floor) {
    RankParams params;
    params.idfFloor = floor;
    RankDb db(pages, params);
    const auto scores = db.Scores("rare OR common", "1,1");
    EXPECT_GT(scores.at("both"), scores.at("rareonly"));
    const double common = scores.at("both") - scores.at("rareonly");
    EXPECT_LT(common, scores.at("rareonly"));
    return common;
  };
  EXPECT_GT(gain(RankParams{}.idfFloor), 3 * gain(0.0));
}

TEST(HelpRank, PhraseWeightsScaleAndZeroContributesNothing) {
  RankDb db({{"both", "some page", "common heading", "alpha beta dolor sit amet elit"},
             {"betaonly", "some page", "common heading", "beta ipsum dolor sit amet elit"}});
  const double exact = db.Scores("alpha", "1").at("both");
  const double stem = db.Scores("alpha", "0.6").at("both");
  EXPECT_GT(exact, stem);
  EXPECT_NEAR(stem, 0.6 * exact, 1e-9 * exact);
  EXPECT_EQ(db.Scores("alpha", "0").at("both"), 0);
  // A weight-0 phrase adds no score and earns no proximity bonus, even right next to alpha.
  const auto negated = db.Scores("alpha OR beta", "1/0,0/1");
  EXPECT_DOUBLE_EQ(negated.at("both"), exact);
  EXPECT_EQ(negated.at("betaonly"), 0);
}

TEST(HelpRank, ProximityBonusNeedsTwoGroupsCloseInOneColumn) {
  struct Case {
    const char* name;
    const char* heads;
    const char* body;
    const char* weights;
    bool bonus;
  };
  const Case cases[] = {
      {"adjacent", "common heading", "alpha beta dolor sit amet elit", "1/0,1/1", true},
      {"reversed", "common heading", "beta alpha dolor sit amet elit", "1/0,1/1", true},
      {"one word's alternatives", "common heading", "alpha beta dolor sit amet elit", "1/0,1/0",
       false},
      {"own groups", "common heading", "alpha beta dolor sit amet elit", "1,1", true},
      {"own group beside a listed one", "common heading", "alpha beta sit amet elit", "1/0", true},
      {"partner weighs 0", "common heading", "alpha beta dolor sit amet elit", "1/0,0/1", false},
      {"at the window's edge", "common heading", "alpha a b c d e f g beta", "1/0,1/1", true},
      {"past the window", "common heading", "alpha a b c d e f g h beta", "1/0,1/1", false},
      {"far apart then close", "common heading", "alpha a b c d e f g h i alpha beta", "1/0,1/1",
       true},
      {"across columns", "common alpha", "beta ipsum dolor sit amet elit", "1/0,1/1", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<Page> pages = {{"page", "some page", c.heads, c.body}};
    RankParams flat;
    flat.proximityBonus = 1.0;
    const double with = RankDb(pages).Scores("alpha OR beta", c.weights).at("page");
    const double without = RankDb(pages, flat).Scores("alpha OR beta", c.weights).at("page");
    EXPECT_GT(without, 0);
    EXPECT_DOUBLE_EQ(with / without, c.bonus ? RankParams{}.proximityBonus : 1.0);
  }
}

TEST(HelpRank, ExactTitleBonusOnlyWhenTitleKeyEqualsQueryKey) {
  RankDb db({{"guide", "alpha guide", "common heading", kBody},
             {"notes", "alpha notes", "common heading", kBody}});
  const double bonus = RankParams{}.exactTitleBonus;
  auto scores = db.Scores("alpha", "1", "alpha guide");
  EXPECT_DOUBLE_EQ(scores.at("guide"), bonus * scores.at("notes"));
  scores = db.Scores("alpha", "1", "alpha notes");
  EXPECT_DOUBLE_EQ(scores.at("notes"), bonus * scores.at("guide"));
  scores = db.Scores("alpha", "1", "alpha");
  EXPECT_DOUBLE_EQ(scores.at("notes"), scores.at("guide"));
  // An empty or NULL query key never matches, not even an empty or NULL title key.
  for (const char* update : {"UPDATE pages SET titlekey = '' WHERE key = 'guide'",
                             "UPDATE pages SET titlekey = NULL WHERE key = 'guide'"}) {
    db.Exec(update);
    for (const Text& key : {Text(""), Text()}) {
      scores = db.Scores("alpha", "1", key);
      EXPECT_DOUBLE_EQ(scores.at("guide"), scores.at("notes"));
    }
  }
}

TEST(HelpRank, LengthIsNormalisedPerColumn) {
  std::string longBody;
  for (int i = 0; i < 200; ++i) {
    longBody += "filler ";
  }
  RankDb db({{"titleshort", "alpha page", "common heading", kBody},
             {"titlelong", "alpha page", "common heading", longBody},
             {"bodyshort", "some page", "common heading", "alpha ipsum dolor sit amet elit"},
             {"bodylong", "some page", "common heading", "alpha " + longBody}});
  const auto scores = db.Scores("alpha", "1");
  EXPECT_DOUBLE_EQ(scores.at("titleshort"), scores.at("titlelong"));
  EXPECT_GT(scores.at("bodyshort"), scores.at("bodylong"));
}

TEST(HelpRank, OddWeightListsFallBackToWeightOne) {
  struct Case {
    Text list;
    double weight;  // of the query's only phrase
  };
  const Case cases[] = {
      {Text(), 1},
      {"", 1},
      {",", 1},
      {"abc", 1},
      {"1/x", 1},
      {"1/2/3", 1},
      {"-1", 1},
      {"nan", 1},
      {"inf", 1},
      {"1e999", 1},
      {"0x1", 1},
      {"0.5/4294967296", 1},
      {"0.5/-1", 1},
      {std::string("0.5\0junk", 8), 1},
      {"\xff\xfe/\x80", 1},
      {std::string(10000, ','), 1},
      {"0.5/3", 0.5},
      {" 0.5 / 3 ", 0.5},
      {"5e-1,garbage,,", 0.5},
  };
  RankDb db({{"page", "alpha page", "common heading", kBody}});
  const double unit = db.Scores("alpha", "1").at("page");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list ? *c.list : "NULL");
    EXPECT_DOUBLE_EQ(db.Scores("alpha", c.list).at("page"), c.weight * unit);
  }
}

// A phrase without a listed group has one of its own, which no listed group can share: the
// proximity bonus and a word's alternatives are told apart by their groups.
TEST(HelpRank, UnlistedGroupsNeverMeetListedOnes) {
  const std::vector<RankWeight> weights = ParseRankWeights("x,1/0,2", 3);
  ASSERT_EQ(weights.size(), 3u);
  EXPECT_EQ(weights[1].group, 0);
  EXPECT_NE(weights[0].group, weights[1].group);
  EXPECT_NE(weights[2].group, weights[1].group);
  EXPECT_NE(weights[0].group, weights[2].group);
}

}  // namespace
}  // namespace dizode::query
