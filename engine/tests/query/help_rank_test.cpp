// help_rank over small in-memory collections: the formula against values worked out by hand on a
// three-page collection, then relations between scores (this page above that one) where the
// exact value says little.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "query/help_rank.h"
#include "query/help_rank_weights.h"
#include "query/rank_evidence.h"
#include "query/rank_sections.h"

namespace dizode::query {
namespace {

struct Page {
  std::string key;
  std::string title;
  std::string heads;
  std::string body;
  int64_t name = 0;  // pages.name: 0, the whole title names the page
};

using Text = std::optional<std::string>;  // nullopt binds NULL

// Six-token bodies, the length of every filler body.
constexpr const char* kBody = "lorem ipsum dolor sit amet elit";

class RankDb {
 public:
  // `fillers` pages of filler keep the fixture's words rare and the lengths at their average.
  explicit RankDb(std::vector<Page> pages, const RankParams& params = {}, int fillers = 20) {
    EXPECT_EQ(sqlite3_open(":memory:", &m_db), SQLITE_OK);
    EXPECT_EQ(RegisterHelpRank(m_db, params), SQLITE_OK);
    Exec(
        "CREATE TABLE pages(id INTEGER PRIMARY KEY, key TEXT, name INTEGER);"
        "CREATE VIRTUAL TABLE fts USING fts5(title, heads, body);"
        "CREATE VIRTUAL TABLE evidence USING fts5(links);");
    for (int i = 0; i < fillers; ++i) {
      pages.push_back({"filler" + std::to_string(i), "filler page", "common heading", kBody});
    }
    for (const Page& page : pages) {
      sqlite3_stmt* stmt = nullptr;
      EXPECT_EQ(sqlite3_prepare_v2(m_db, "INSERT INTO pages(key, name) VALUES(?1, ?2)", -1, &stmt,
                                   nullptr),
                SQLITE_OK);
      sqlite3_bind_text(stmt, 1, page.key.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_int64(stmt, 2, page.name);
      EXPECT_EQ(sqlite3_step(stmt), SQLITE_DONE);
      sqlite3_finalize(stmt);
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

  // Gives page `key` the text of the links that point to it.
  void Links(const std::string& key, const std::string& text) {
    Run("INSERT INTO evidence(rowid, links) SELECT id, ?2 FROM pages WHERE key = ?1", {key, text});
  }

  // Key → score of every page matching `match`; with `linked`, the evidence is read first with
  // the MATCH text's phrases in order.
  std::map<std::string, double> Scores(const std::string& match, const Text& weights,
                                       bool linked = false) {
    Evidence evidence;
    if (linked) {
      evidence.phraseOf = {0, 1, 2, 3};
      Run("SELECT help_evidence(evidence, ?1) FROM evidence WHERE evidence MATCH ?2", {{}, match},
          nullptr, &evidence);
    }
    std::map<std::string, double> scores;
    Run(
        "SELECT p.key, help_rank(fts, ?2, p.name, ?3) FROM fts JOIN pages p"
        " ON p.id = fts.rowid WHERE fts MATCH ?1",
        {match, weights, {}},
        [&](sqlite3_stmt* stmt) {
          scores[reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))] =
              sqlite3_column_double(stmt, 1);
        },
        linked ? &evidence : nullptr);
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
  // Parameters bind as text, NULL for nullopt; where `evidence` is given, the first NULL
  // parameter binds it as the evidence pointer instead.
  void Run(const char* sql, const std::vector<Text>& params,
           const std::function<void(sqlite3_stmt*)>& onRow = nullptr,
           Evidence* evidence = nullptr) {
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr), SQLITE_OK) << sqlite3_errmsg(m_db);
    for (size_t i = 0; i < params.size(); ++i) {
      const int index = static_cast<int>(i + 1);
      if (params[i]) {
        sqlite3_bind_text(stmt, index, params[i]->data(), static_cast<int>(params[i]->size()),
                          SQLITE_TRANSIENT);
      } else if (evidence != nullptr) {
        sqlite3_bind_pointer(stmt, index, evidence, kEvidencePointer, nullptr);
        evidence = nullptr;
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

// Three pages, no filler: N = 3, and "alpha" and "beta" are each on two pages, so both have
// idf ln(1 + 1.5 / 2.5) = 0.470004. Titles and headings are one token long, bodies 2, 1 and 2
// (average 5/3). With the engine's parameters (k1 10; weights title 4, body 1, links 4; b title
// 0.9, body 0.3, links 0.3) and no floor:
//   alpha on one: title 4 / 1 + body 1 / (0.7 + 0.3 × 2 / (5/3)) = 4.943396, saturated
//     × 11 / (4.943396 + 10) = 3.638887, × idf = 1.710291; its title is the query: × 2.
//   alpha on two: body 1 / (0.7 + 0.3 × 1 / (5/3)) = 1.136364 → 0.527555.
//   beta on three: body 2 / 1.06 = 1.886792 → 1.745949 × idf = 0.820641; with the floor of 0.9
//     in place of the idf, 1.571429. On one: 1 / 1.06 = 0.943396 → 0.445693, or 0.853448.
//   alpha or beta on one, two groups: 1.710291 + 0.445693, close together in the body: × 1.1,
//     and the title holds only one of the groups: no name bonus.
//   alpha on two with a link text "alpha" (the only one: length 1, the average):
//     1.136364 + 4 × 1 = 5.136364 → 1.754398.
//   the alternatives of one word (alpha 1, beta 0.6 of one group) on one: 4.943396 + 0.6 ×
//     0.943396 = 5.509434 → 3.907744 × idf = 1.836659, × 2 for the name; on three: 0.6 ×
//     1.886792 = 1.132075 → 0.525767.
TEST(HelpRank, FormulaOnThreePages) {
  const std::vector<Page> pages = {{"one", "alpha", "x", "alpha beta"},
                                   {"two", "gamma", "y", "alpha"},
                                   {"three", "delta", "z", "beta beta"}};
  RankParams noFloor;
  noFloor.idfFloor = 0;
  struct Case {
    const char* match;
    const char* weights;
    bool floor;
    bool linked;
    std::map<std::string, double> expected;
  };
  const Case cases[] = {
      {"alpha", "1", false, false, {{"one", 3.420582}, {"two", 0.527555}}},
      {"beta", "1", false, false, {{"one", 0.445693}, {"three", 0.820641}}},
      {"beta", "1", true, false, {{"one", 0.853448}, {"three", 1.571429}}},
      {"alpha OR beta",
       "1/0,1/1",
       false,
       false,
       {{"one", 2.371582}, {"two", 0.527555}, {"three", 0.820641}}},
      {"alpha", "1", false, true, {{"one", 3.420582}, {"two", 1.754398}}},
      {"alpha OR beta",
       "1/0,0.6/0",
       false,
       false,
       {{"one", 3.673118}, {"two", 0.527555}, {"three", 0.525767}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.match) + " " + c.weights);
    RankDb db(pages, c.floor ? RankParams{} : noFloor, 0);
    db.Links("two", "alpha");
    const auto scores = db.Scores(c.match, c.weights, c.linked);
    ASSERT_EQ(scores.size(), c.expected.size());
    for (const auto& [key, value] : c.expected) EXPECT_NEAR(scores.at(key), value, 1e-5) << key;
  }
}

TEST(HelpRank, TitleOutranksBodyAndTheOptionalArgumentsMayBeLeftOff) {
  RankDb db({{"title", "alpha page", "common heading", kBody},
             {"body", "some page", "common heading", "alpha ipsum dolor sit amet elit"}});
  const auto scores = db.Scores("alpha", "1");
  EXPECT_GT(scores.at("title"), scores.at("body"));
  EXPECT_GT(scores.at("body"), 0);
  const std::vector<std::string> order = {"title", "body"};
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

TEST(HelpRank, ZeroWeightPhrasesScoreNothing) {
  RankDb db({{"both", "some page", "common heading", "alpha beta dolor sit amet elit"},
             {"betaonly", "some page", "common heading", "beta ipsum dolor sit amet elit"}});
  const double alone = db.Scores("alpha", "1").at("both");
  EXPECT_EQ(db.Scores("alpha", "0").at("both"), 0);
  // A weight-0 phrase adds no score and earns no proximity bonus, even right next to alpha.
  const auto negated = db.Scores("alpha OR beta", "1/0,0/1");
  EXPECT_DOUBLE_EQ(negated.at("both"), alone);
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

TEST(HelpRank, NameBonusWhenTheQueryIsThePagesWholeName) {
  struct Case {
    const char* name;
    const char* title;
    int64_t nameRun;  // pages.name
    const char* match;
    const char* weights;
    bool bonus;
  };
  const Case cases[] = {
      {"the whole title", "alpha", 0, "alpha", "1", true},
      {"part of the title", "alpha guide", 0, "alpha", "1", false},
      {"the name inside a longer title", "alpha guide manual", 1, "alpha", "1", true},
      {"two words, both the name", "alpha guide manual", 2, "alpha guide", "1/0,1/1", true},
      {"a word of the query outside the name", "alpha manual", 1, "alpha manual", "1/0,1/1", false},
      {"a run past the title is the whole title", "alpha guide", 7, "alpha", "1", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RankParams flat;
    flat.exactNameBonus = 1.0;
    flat.proximityBonus = 1.0;
    RankParams bonus;
    bonus.proximityBonus = 1.0;
    const std::vector<Page> pages = {{"page", c.title, "common heading", kBody, c.nameRun}};
    const std::string match = std::string("{title} : (") + c.match + ")";
    const double with = RankDb(pages, bonus).Scores(match, c.weights).at("page");
    const double without = RankDb(pages, flat).Scores(match, c.weights).at("page");
    EXPECT_DOUBLE_EQ(with / without, c.bonus ? RankParams{}.exactNameBonus : 1.0);
  }
}

TEST(HelpRank, LengthIsNormalisedPerColumn) {
  std::string longBody;
  for (int i = 0; i < 200; ++i) {
    longBody += "filler ";
  }
  RankDb db({{"bodyshort", "some page", "common heading", "alpha ipsum dolor sit amet elit"},
             {"bodylong", "some page", "common heading", "alpha " + longBody}});
  const auto scores = db.Scores("alpha", "1");
  EXPECT_GT(scores.at("bodyshort"), scores.at("bodylong"));
}

TEST(HelpRank, OddWeightListsFallBackToWeightOne) {
  struct Case {
    Text list;
    bool unit;  // scored as the list "1" is
  };
  const Case cases[] = {
      {Text(), true},
      {"", true},
      {",", true},
      {"abc", true},
      {"1/x", true},
      {"1/2/3", true},
      {"-1", true},
      {"nan", true},
      {"inf", true},
      {"1e999", true},
      {"0x1", true},
      {"0.5/4294967296", true},
      {"0.5/-1", true},
      {std::string("0.5\0junk", 8), true},
      {"\xff\xfe/\x80", true},
      {std::string(10000, ','), true},
      {"0.5/3", false},
      {" 0.5 / 3 ", false},
      {"5e-1,garbage,,", false},
  };
  RankDb db({{"page", "alpha page", "common heading", kBody}});
  const double unit = db.Scores("alpha", "1").at("page");
  const double half = db.Scores("alpha", "0.5").at("page");
  ASSERT_LT(half, unit);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list ? *c.list : "NULL");
    EXPECT_DOUBLE_EQ(db.Scores("alpha", c.list).at("page"), c.unit ? unit : half);
  }
}

// Sections of a 100-position body: the top [0, 10), then three that open at 10, 40 and 90, with
// headings at heading positions [0, 2), [2, 4) and [4, 6).
TEST(BestSection, TheSectionWhereTheQueryIsDensestWins) {
  const std::vector<SectionBounds> bounds = {{0, 2, 10}, {2, 4, 40}, {4, 6, 90}};
  const std::vector<double> idf = {1.0, 1.0};
  const auto body = [](uint32_t offset, int group) {
    return SectionHit{kBodyField, offset, group, 1.0};
  };
  const auto heading = [](uint32_t offset, int group) {
    return SectionHit{kHeadsField, offset, group, 1.0};
  };
  struct Case {
    const char* name;
    std::vector<SectionHit> hits;
    size_t best;
  };
  const Case cases[] = {
      {"no hit: the top", {}, 0},
      {"the top", {body(1, 0), body(2, 1)}, 0},
      {"both words beat one", {body(12, 0), body(50, 0), body(51, 1)}, 2},
      {"a heading's words count for its section", {heading(4, 0), heading(5, 1), body(12, 0)}, 3},
      {"a short section beats a long one", {body(20, 0), body(95, 0)}, 3},
      {"headings text that opens no section is ignored", {heading(9, 0), body(12, 1)}, 1},
  };
  for (const Case& c : cases) {
    std::vector<SectionHit> hits = c.hits;
    EXPECT_EQ(FindBestSection(bounds, 100, hits, idf, RankParams{}).index, c.best) << c.name;
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
