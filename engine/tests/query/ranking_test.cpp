// Scores and order computed after the rows are read must be exactly what the SQL formulation
// gives: max(1, round(100 × s / max(s) OVER ())) per scored row, 0 for unscored rows, ordered
// by the unrounded s descending (unscored rows last), title key, page key under SQLite's
// byte-wise text comparison. Rounding never reorders: two rows whose scores round alike keep the
// order of their raw scores. SQLite itself serves as the reference here, over generated rows
// full of ties and awkward bytes.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "query/ranking.h"

namespace dizode::query {
namespace {

class Reference {
 public:
  Reference() {
    EXPECT_EQ(sqlite3_open(":memory:", &m_db), SQLITE_OK);
    Exec("CREATE TABLE hits(key TEXT NOT NULL UNIQUE, title TEXT, titlekey TEXT, s REAL)");
  }
  ~Reference() { sqlite3_close(m_db); }
  Reference(const Reference&) = delete;
  Reference& operator=(const Reference&) = delete;

  int64_t Scaled(double raw, double best) {
    sqlite3_stmt* stmt =
        Prepare("SELECT max(1, coalesce(CAST(round(100.0 * ?1 / NULLIF(?2, 0)) AS INTEGER), 1))");
    sqlite3_bind_double(stmt, 1, raw);
    sqlite3_bind_double(stmt, 2, best);
    EXPECT_EQ(sqlite3_step(stmt), SQLITE_ROW);
    const int64_t score = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return score;
  }

  // The rows as (key, score) in the order the window-function query lists them.
  std::vector<std::pair<std::string, int64_t>> Ordered(const std::vector<RankedRow>& rows) {
    Exec("DELETE FROM hits");
    sqlite3_stmt* insert = Prepare("INSERT INTO hits VALUES(?1, ?2, ?3, ?4)");
    for (const RankedRow& row : rows) {
      sqlite3_bind_text(insert, 1, row.key.data(), static_cast<int>(row.key.size()),
                        SQLITE_TRANSIENT);
      sqlite3_bind_text(insert, 2, row.title.data(), static_cast<int>(row.title.size()),
                        SQLITE_TRANSIENT);
      sqlite3_bind_text(insert, 3, row.titlekey.data(), static_cast<int>(row.titlekey.size()),
                        SQLITE_TRANSIENT);
      if (row.scored) {
        sqlite3_bind_double(insert, 4, row.raw);
      } else {
        sqlite3_bind_null(insert, 4);
      }
      EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    sqlite3_stmt* select = Prepare(
        "SELECT key, CASE WHEN s IS NULL THEN 0 ELSE max(1, coalesce(CAST(round(100.0 * s / "
        "NULLIF(max(s) OVER (), 0)) AS INTEGER), 1)) END AS score FROM hits "
        "ORDER BY s IS NULL, s DESC, titlekey, key");
    std::vector<std::pair<std::string, int64_t>> out;
    while (sqlite3_step(select) == SQLITE_ROW) {
      out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(select, 0)),
                       sqlite3_column_int64(select, 1));
    }
    sqlite3_finalize(select);
    return out;
  }

 private:
  void Exec(const char* sql) {
    EXPECT_EQ(sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql;
  }
  sqlite3_stmt* Prepare(const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr), SQLITE_OK) << sql;
    return stmt;
  }
  sqlite3* m_db = nullptr;
};

std::vector<std::pair<std::string, int64_t>> Ranked(std::vector<RankedRow> rows) {
  std::vector<std::pair<std::string, int64_t>> out;
  for (size_t i : Rank(rows)) {
    out.emplace_back(rows[i].key, rows[i].score);
  }
  return out;
}

TEST(RankingTest, ScaledScoreRoundsAsSqliteDoes) {
  Reference reference;
  // Halves on both sides of every rounding step, the floor of 1, a zero best, ratios above 1.
  const std::pair<double, double> cases[] = {
      {1, 1},        {0.5, 1},      {0.005, 1},    {0.015, 1},     {0.0149999, 1},
      {0.025, 1},    {0.125, 1},    {0.995, 1},    {0.9949999, 1}, {0, 1},
      {-3, 1},       {1, 0},        {0, 0},        {7, 3},         {3, 7},
      {2.675, 10},   {1e-300, 1},   {1e300, 1e-5}, {-1, -2},       {1.0 / 3, 1.0 / 3 + 1e-17},
      {0.345, 0.69}, {12.5, 100.0}, {0.205, 1}};
  for (const auto& [raw, best] : cases) {
    EXPECT_EQ(ScaledScore(raw, best), reference.Scaled(raw, best)) << raw << " / " << best;
  }
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> unit(0, 1);
  for (int i = 0; i < 5000; ++i) {
    const double best = 0.001 + 30 * unit(random);
    // Raw scores land near the halves of 1/100 steps, where rounding decides.
    const double raw =
        best * ((static_cast<int>(random() % 100) + 0.5) / 100.0 + (unit(random) - 0.5) * 1e-15);
    ASSERT_EQ(ScaledScore(raw, best), reference.Scaled(raw, best)) << raw << " / " << best;
  }
}

TEST(RankingTest, OrderMatchesTheWindowFunctionQuery) {
  Reference reference;
  // Few distinct scores and title keys, so ties on the first and second keys are common;
  // title keys share prefixes and carry bytes above 0x7F, which compare unsigned.
  const std::string titles[] = {"", "a", "ab", "abc", "b", "\xC3\xA9t\xC3\xA9", "\xC3\xA9", "Z"};
  std::mt19937 random(11);
  for (int round = 0; round < 40; ++round) {
    std::vector<RankedRow> rows;
    const int count = static_cast<int>(random() % 60);
    for (int i = 0; i < count; ++i) {
      RankedRow row;
      row.key = std::string(1, static_cast<char>('a' + random() % 26)) + std::to_string(i) +
                (random() % 2 ? "\xE2\x82\xAC" : "");
      row.titlekey = titles[random() % std::size(titles)];
      row.title = std::to_string(random() % 1000);       // in no relation to the title key
      row.scored = round % 5 != 0 && random() % 4 != 0;  // some rounds have no scored row
      // Raw scores close enough to round alike, and exact ties.
      row.raw = static_cast<double>(random() % 7) * 0.0037 + 0.37;
      rows.push_back(row);
    }
    EXPECT_EQ(Ranked(rows), reference.Ordered(rows)) << "round " << round;
  }
}

TEST(RankingTest, FixedCases) {
  EXPECT_TRUE(Ranked({}).empty());
  // The best row scores 100 and the weakest still 1; unscored rows come last with 0, and rows of
  // equal score follow their title keys, then their keys.
  std::vector<RankedRow> rows = {
      {"k1", "Beta", "beta", 2.0, true},          {"k2", "Alpha", "alpha", 2.0, true},
      {"k3", "Weak", "weak", 0.001, true},        {"k4", "None", "none", 0, false},
      {"k0", "Alpha", "alpha", 2.0, true},        {"k5", "Best", "best", 4.0, true},
      {"k6", "Also none", "also none", 0, false},
  };
  const std::vector<std::pair<std::string, int64_t>> expected = {
      {"k5", 100}, {"k0", 50}, {"k2", 50}, {"k1", 50}, {"k3", 1}, {"k6", 0}, {"k4", 0}};
  EXPECT_EQ(Ranked(rows), expected);

  // Both round to 76, yet the better raw score comes first whatever the titles say.
  const std::vector<std::pair<std::string, int64_t>> nearTie = {
      {"best", 100}, {"zebra", 76}, {"alpha", 76}};
  EXPECT_EQ(Ranked({{"alpha", "Alpha", "alpha", 7.572, true},
                    {"zebra", "Zebra", "zebra", 7.601, true},
                    {"best", "Best", "best", 10.0, true}}),
            nearTie);
}

}  // namespace
}  // namespace dizode::query
