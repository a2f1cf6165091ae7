#include "query/ranking.h"

#include <algorithm>
#include <cstdint>

namespace dizode::query {
namespace {

using Kind = SetExpr::Kind;

// Rows that qualify only through negation: their s column is NULL.
constexpr const char* kUnscored = "SELECT key, title, titlekey, NULL FROM pages p";

// SQLite parses with a fixed-size stack that about 24 nested groups of set operations exhaust,
// while the query language allows 32. A predicate nests at most this many groups; a deeper group
// becomes a common table expression of its own, so the SQL stays flat however deep the query.
constexpr int kInlineGroups = 8;

class Builder {
 public:
  Statement Build(const SetExpr& set) {
    if (set.kind == Kind::kAll) {
      return {kUnscored, {}};
    }
    if (set.kind == Kind::kMatch) {
      const std::string match = Bind(set.match.text);
      const std::string score = Rank(set.match, "p");
      return Finish("SELECT p.key, p.title, p.titlekey, " + score +
                    " FROM fts JOIN pages p ON p.id = fts.rowid WHERE fts MATCH " + match);
    }
    if (set.kind == Kind::kNot && set.kids.front().kind == Kind::kMatch) {
      return {
          std::string(kUnscored) + " WHERE p.id NOT IN (SELECT rowid FROM fts WHERE fts MATCH ?1)",
          {set.kids.front().match.text}};
    }
    return BuildMixed(set);
  }

 private:
  // Set operations over page ids. Rows are scored by the union of the positive MATCH texts;
  // a row that qualifies without matching any of them scores 0.
  Statement BuildMixed(const SetExpr& set) {
    std::vector<MatchText> positives;
    CollectPositives(set, true, positives);
    if (positives.empty()) {
      const std::string predicate = Predicate(set, 0);
      return {With("") + kUnscored + " WHERE " + predicate, std::move(m_params)};
    }
    MatchText rank{positives.size() > 1 ? "(" : "", {}};
    for (size_t i = 0; i < positives.size(); ++i) {
      rank.text += (i > 0 ? " OR " : "") + positives[i].text;
      rank.weights.insert(rank.weights.end(), positives[i].weights.begin(),
                          positives[i].weights.end());
    }
    rank.text += positives.size() > 1 ? ")" : "";
    const std::string rankParam = Bind(rank.text);
    const std::string score = Rank(rank, "q");
    const std::string predicate = Predicate(set, 0);
    return Finish(With("ranked AS (SELECT q.id AS id, " + score +
                       " AS s FROM fts JOIN pages q ON q.id = fts.rowid WHERE fts MATCH " +
                       rankParam + ")") +
                  "SELECT p.key, p.title, p.titlekey, r.s FROM pages p "
                  "LEFT JOIN ranked r ON r.id = p.id WHERE " +
                  predicate);
  }

  // The WITH clause of the groups that Predicate() moved out, then `first` if any.
  std::string With(const std::string& first) const {
    std::string out;
    for (const std::string& group : m_groups) {
      out += (out.empty() ? "WITH " : ", ") + group;
    }
    if (!first.empty()) {
      out += (out.empty() ? "WITH " : ", ") + first;
    }
    return out.empty() ? out : out + " ";
  }

  Statement Finish(std::string sql) {
    Statement out{std::move(sql), std::move(m_params)};
    out.evidenceParam = m_evidenceParam;
    out.evidenceMatch = std::move(m_evidenceMatch);
    out.evidencePhrases = std::move(m_evidencePhrases);
    return out;
  }

  // The score of a row matched by `match`, with the pages table in scope as `pages`; its
  // evidence is read with the scored phrases of `match`, ORed.
  std::string Rank(const MatchText& match, const char* pages) {
    const std::string weights = Bind(WeightList(match.weights));
    for (size_t i = 0; i < match.weights.size(); ++i) {
      const PhraseWeight& phrase = match.weights[i];
      if (!(phrase.weight > 0) || phrase.phrase.empty()) continue;
      m_evidenceMatch += (m_evidenceMatch.empty() ? "" : " OR ") + phrase.phrase;
      m_evidencePhrases.push_back(static_cast<int>(i));
    }
    std::string evidence = "NULL";
    if (!m_evidencePhrases.empty()) {
      evidence = Bind("");  // bound as a pointer when the statement runs
      m_evidenceParam = static_cast<int>(m_params.size());
    }
    return "help_rank(fts, " + weights + ", " + std::string(pages) + ".name, " + evidence + ")";
  }

  static void CollectPositives(const SetExpr& set, bool positive, std::vector<MatchText>& out) {
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

  std::string Predicate(const SetExpr& set, int groups) {
    switch (set.kind) {
      case Kind::kNothing:
        return "0";
      case Kind::kAll:
        return "1";
      case Kind::kMatch:
        return "p.id IN (SELECT rowid FROM fts WHERE fts MATCH " + Bind(set.match.text) + ")";
      case Kind::kNot:
        return "NOT " + Predicate(set.kids.front(), groups);
      case Kind::kAnd:
      case Kind::kOr:
        break;
    }
    if (groups == kInlineGroups) {
      // Groups inside this one are named before it, so every name is defined before its use.
      const std::string inner = Predicate(set, 0);
      const std::string name = "g" + std::to_string(m_groups.size() + 1);
      m_groups.push_back(name + "(id) AS (SELECT p.id FROM pages p WHERE " + inner + ")");
      return "p.id IN " + name;
    }
    std::string out = "(";
    for (size_t i = 0; i < set.kids.size(); ++i) {
      if (i > 0) {
        out += set.kind == Kind::kAnd ? " AND " : " OR ";
      }
      out += Predicate(set.kids[i], groups + 1);
    }
    return out + ")";
  }

  std::string Bind(const std::string& value) {
    m_params.push_back(value);
    return "?" + std::to_string(m_params.size());
  }

  std::vector<std::string> m_params;
  int m_evidenceParam = 0;
  std::string m_evidenceMatch;
  std::vector<int> m_evidencePhrases;
  std::vector<std::string> m_groups;  // common table expressions of deep groups, innermost first
};

}  // namespace

Statement BuildStatement(const SetExpr& set) { return Builder().Build(set); }

int64_t ScaledScore(double raw, double best) {
  if (best == 0) {
    return 1;
  }
  const double scaled = 100.0 * raw / best;
  // Rounds as SQLite's round() does, halves away from zero, so scores match what the SQL
  // formula gave; anything below 1.5 (and NaN) ends at the floor of 1.
  if (!(scaled >= 1.5)) {
    return 1;
  }
  if (scaled >= 9.2e18) {
    return INT64_MAX;
  }
  return static_cast<int64_t>(scaled + 0.5);
}

std::vector<size_t> Rank(std::vector<RankedRow>& rows) {
  bool anyScored = false;
  double best = 0;
  for (const RankedRow& row : rows) {
    if (row.scored && (!anyScored || row.raw > best)) {
      best = row.raw;
      anyScored = true;
    }
  }
  std::vector<size_t> order(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    rows[i].score = rows[i].scored ? ScaledScore(rows[i].raw, best) : 0;
    order[i] = i;
  }
  // Keys are unique, so this is a total order and the sort needs no stability.
  std::sort(order.begin(), order.end(), [&rows](size_t a, size_t b) {
    const RankedRow& x = rows[a];
    const RankedRow& y = rows[b];
    if (x.scored != y.scored) {
      return x.scored;
    }
    if (x.scored && x.raw != y.raw) {
      return x.raw > y.raw;
    }
    if (int c = x.titlekey.compare(y.titlekey)) {
      return c < 0;
    }
    return x.key < y.key;
  });
  return order;
}

}  // namespace dizode::query
