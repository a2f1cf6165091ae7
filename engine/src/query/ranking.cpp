#include "query/ranking.h"

#include <algorithm>

namespace dizode::query {
namespace {

using Kind = SetExpr::Kind;

// FTS5's bm25() is negative, better matches more so; negating makes higher better.
constexpr const char* kRank = "-bm25(fts, 5.0, 2.0, 1.0)";
// 1..100 relative to the best row; max(s) > 0 always, NULLIF guards the division regardless.
constexpr const char* kScaled =
    "max(1, coalesce(CAST(round(100.0 * s / NULLIF(max(s) OVER (), 0)) AS INTEGER), 1))";
constexpr const char* kOrder = " ORDER BY score DESC, titlekey, key";

class Builder {
 public:
  Statement Build(const SetExpr& set) {
    if (set.kind == Kind::kAll) {
      return {"SELECT key, title, 0 AS score FROM pages ORDER BY titlekey, key", {}};
    }
    if (set.kind == Kind::kMatch) {
      return {std::string("WITH hits AS (SELECT p.key, p.title, p.titlekey, ") + kRank +
                  " AS s FROM fts JOIN pages p ON p.id = fts.rowid WHERE fts MATCH ?1) "
                  "SELECT key, title, " +
                  kScaled + " AS score FROM hits" + kOrder,
              {set.match}};
    }
    if (set.kind == Kind::kNot && set.kids.front().kind == Kind::kMatch) {
      return {
          "SELECT key, title, 0 AS score FROM pages p WHERE p.id NOT IN "
          "(SELECT rowid FROM fts WHERE fts MATCH ?1) ORDER BY titlekey, key",
          {set.kids.front().match}};
    }
    return BuildMixed(set);
  }

 private:
  // Set operations over page ids. Rows are scored by the union of the positive MATCH texts;
  // a row that qualifies without matching any of them scores 0.
  Statement BuildMixed(const SetExpr& set) {
    std::vector<std::string> positives;
    CollectPositives(set, true, positives);
    if (positives.empty()) {
      const std::string predicate = Predicate(set);
      return {"SELECT key, title, 0 AS score FROM pages p WHERE " + predicate +
                  " ORDER BY titlekey, key",
              std::move(m_params)};
    }
    std::string rank;
    for (size_t i = 0; i < positives.size(); ++i) {
      rank += (i > 0 ? " OR " : "") + positives[i];
    }
    if (positives.size() > 1) {
      rank = "(" + rank + ")";
    }
    const std::string rankParam = Bind(rank);
    const std::string predicate = Predicate(set);
    return {std::string("WITH ranked AS (SELECT rowid AS id, ") + kRank +
                " AS s FROM fts WHERE fts MATCH " + rankParam +
                "), hits AS (SELECT p.key, p.title, p.titlekey, r.s FROM pages p "
                "LEFT JOIN ranked r ON r.id = p.id WHERE " +
                predicate + ") SELECT key, title, CASE WHEN s IS NULL THEN 0 ELSE " + kScaled +
                " END AS score FROM hits" + kOrder,
            std::move(m_params)};
  }

  static void CollectPositives(const SetExpr& set, bool positive, std::vector<std::string>& out) {
    if (set.kind == Kind::kMatch) {
      if (positive && std::find(out.begin(), out.end(), set.match) == out.end()) {
        out.push_back(set.match);
      }
      return;
    }
    for (const SetExpr& kid : set.kids) {
      CollectPositives(kid, set.kind == Kind::kNot ? !positive : positive, out);
    }
  }

  std::string Predicate(const SetExpr& set) {
    switch (set.kind) {
      case Kind::kNothing:
        return "0";
      case Kind::kAll:
        return "1";
      case Kind::kMatch:
        return "p.id IN (SELECT rowid FROM fts WHERE fts MATCH " + Bind(set.match) + ")";
      case Kind::kNot:
        return "NOT " + Predicate(set.kids.front());
      case Kind::kAnd:
      case Kind::kOr:
        break;
    }
    std::string out = "(";
    for (size_t i = 0; i < set.kids.size(); ++i) {
      if (i > 0) {
        out += set.kind == Kind::kAnd ? " AND " : " OR ";
      }
      out += Predicate(set.kids[i]);
    }
    return out + ")";
  }

  std::string Bind(const std::string& value) {
    m_params.push_back(value);
    return "?" + std::to_string(m_params.size());
  }

  std::vector<std::string> m_params;
};

}  // namespace

Statement BuildStatement(const SetExpr& set) { return Builder().Build(set); }

}  // namespace dizode::query
