#include "query/translator.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "query/diagnostics.h"
#include "query/limits.h"

namespace dizode::query {
namespace {

using Kind = SetExpr::Kind;

std::string Quote(std::string_view token) {
  std::string out = "\"";
  for (char c : token) {
    out += c;
    if (c == '"') {
      out += '"';
    }
  }
  out += '"';
  return out;
}

MatchText Join(std::vector<MatchText> parts, std::string_view op) {
  if (parts.size() == 1) {
    return std::move(parts.front());
  }
  MatchText out{"(", {}};
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) {
      out.text += op;
    }
    out.text += parts[i].text;
    out.weights.insert(out.weights.end(), parts[i].weights.begin(), parts[i].weights.end());
  }
  out.text += ")";
  return out;
}

// The phrases of a text that only excludes pages score nothing.
MatchText Unscored(MatchText match) {
  for (PhraseWeight& w : match.weights) {
    w.weight = 0;
  }
  return match;
}

SetExpr Match(MatchText match) { return {Kind::kMatch, std::move(match), {}}; }

SetExpr Negate(SetExpr set) {
  switch (set.kind) {
    case Kind::kNothing:
      return {Kind::kAll, {}, {}};
    case Kind::kAll:
      return {};
    case Kind::kNot:
      return std::move(set.kids.front());
    default:
      return {Kind::kNot, {}, {std::move(set)}};
  }
}

bool IsNegatedMatch(const SetExpr& set) {
  return set.kind == Kind::kNot && set.kids.front().kind == Kind::kMatch;
}

// One token of a phrase with its rendering: exact `"t"` or prefix `"t" *`.
struct Piece {
  std::string text;
  bool prefix;
};

// `"t1 t2" + "t3" * + "t4"`: exact tokens share one string, a prefix token stands alone.
std::string RenderPhrase(const std::vector<Piece>& pieces) {
  std::string out;
  std::string run;
  const auto flush = [&] {
    if (run.empty()) {
      return;
    }
    if (!out.empty()) {
      out += " + ";
    }
    out += Quote(run);
    run.clear();
  };
  for (const Piece& p : pieces) {
    if (!p.prefix) {
      if (!run.empty()) {
        run += ' ';
      }
      run += p.text;
      continue;
    }
    flush();
    if (!out.empty()) {
      out += " + ";
    }
    out += Quote(p.text) + " *";
  }
  flush();
  return out;
}

// Two word or phrase operands that match the same pages the same way: the second adds nothing
// to an AND or an OR of them.
bool SameOperand(const Node& a, const Node& b) {
  if (a.kind != b.kind || a.key != b.key || a.alternatives.size() != b.alternatives.size()) {
    return false;
  }
  for (size_t i = 0; i < a.alternatives.size(); ++i) {
    const Alternative& x = a.alternatives[i];
    const Alternative& y = b.alternatives[i];
    if (x.weight != y.weight || x.scoringOnly != y.scoringOnly ||
        x.terms.size() != y.terms.size()) {
      return false;
    }
    for (size_t t = 0; t < x.terms.size(); ++t) {
      if (x.terms[t].kind != y.terms[t].kind || x.terms[t].text != y.terms[t].text) {
        return false;
      }
    }
  }
  return true;
}

bool IsWordOrPhrase(const Node& node) {
  return node.kind == NodeKind::kWord || node.kind == NodeKind::kPhrase;
}

class Translator {
 public:
  explicit Translator(const Expander& expand) : m_expand(expand) {}

  Translation Run(const Node& root) {
    m_whole = root.offset + root.length;
    SetExpr set = Visit(root);
    if (!m_result.error) {
      CheckDepth(set);
    }
    if (!m_result.error) {
      m_result.set = std::move(set);
    }
    return std::move(m_result);
  }

 private:
  SetExpr Visit(const Node& node) {
    if (m_result.error) {
      return {};
    }
    switch (node.kind) {
      case NodeKind::kWord:
      case NodeKind::kPhrase:
        return WordGroup(node);
      case NodeKind::kAnd:
        return VisitAnd(node);
      case NodeKind::kOr:
        return VisitOr(node);
      case NodeKind::kNot:
        return Negate(Visit(node.children.front()));
      case NodeKind::kNear:
        return VisitNear(node);
      case NodeKind::kField:
        return Restrict(Visit(node.children.front()),
                        node.fields == kTitleField ? "{title}" : "{heads body}");
      case NodeKind::kEmpty:
        break;
    }
    return {};
  }

  // A word's alternatives ORed; alternatives that only score are ANDed after them, which
  // cannot change what matches since every page they would add already has the name.
  SetExpr WordGroup(const Node& node) {
    const int group = m_nextGroup++;
    std::vector<MatchText> matching = Phrases(node, group, false);
    if (matching.empty()) {
      return {};
    }
    MatchText match = Join(std::move(matching), " OR ");
    std::vector<MatchText> scoring = Phrases(node, group, true);
    if (!scoring.empty()) {
      match = Join({std::move(match), Join(std::move(scoring), " OR ")}, " AND ");
    }
    return Match(std::move(match));
  }

  // The phrases a word or phrase node stands for (those that decide matching, or those that
  // only score): one per alternative, or one per combination of the vocabulary terms its
  // wildcard patterns expand to.
  std::vector<MatchText> Phrases(const Node& node, int group, bool scoringOnly) {
    std::vector<MatchText> phrases;
    for (const Alternative& alternative : node.alternatives) {
      if (alternative.scoringOnly != scoringOnly) {
        continue;
      }
      for (std::string& text : Expand(node, alternative)) {
        const auto same = std::find_if(phrases.begin(), phrases.end(),
                                       [&](const MatchText& m) { return m.text == text; });
        if (same == phrases.end()) {
          PhraseWeight weight{alternative.weight, group, text};
          phrases.push_back({std::move(text), {std::move(weight)}});
        }
      }
      if (m_result.error) {
        return {};
      }
    }
    CountPhrases(static_cast<int>(phrases.size()));
    return phrases;
  }

  std::vector<std::string> Expand(const Node& node, const Alternative& alternative) {
    std::vector<std::vector<Piece>> combos(1);
    bool truncated = false;
    for (const Term& term : alternative.terms) {
      if (term.kind != Term::Kind::kPattern) {
        for (auto& combo : combos) {
          combo.push_back({term.text, term.kind == Term::Kind::kPrefix});
        }
        continue;
      }
      Expansion expansion = m_expand(term.text);
      if (expansion.error) {
        Fail(expansion.interrupted ? Code::kOutOfTime : Code::kInternal, node.offset, node.length);
        return {};
      }
      truncated = truncated || expansion.truncated;
      std::vector<std::vector<Piece>> next;
      for (const auto& combo : combos) {
        for (const std::string& word : expansion.terms) {
          if (static_cast<int>(next.size()) == kMaxExpansion) {
            truncated = true;
            break;
          }
          next.push_back(combo);
          next.back().push_back({word, false});
        }
      }
      combos = std::move(next);
    }
    if (truncated) {
      Warn(Code::kWildcardTruncated, node.offset, node.length);
    }
    std::vector<std::string> phrases;
    for (const auto& combo : combos) {
      std::string phrase = RenderPhrase(combo);
      if (std::find(phrases.begin(), phrases.end(), phrase) == phrases.end()) {
        phrases.push_back(std::move(phrase));
      }
    }
    return phrases;
  }

  // Positive operands chain with AND; a run of negative ones becomes `(chain NOT (n1 OR n2))`
  // once a positive operand precedes it, so FTS5's binding of NOT never matters.
  // An operand of an AND or an OR. A word or phrase that repeats an earlier operand adds
  // nothing and is skipped; once the phrase budget is spent, the remaining words and phrases
  // are left out with one warning instead of failing the query, so that pasted text of any
  // length up to the query limit still searches. Returns nullopt for an operand left out.
  std::optional<SetExpr> VisitOperand(const Node& parent, size_t index) {
    const Node& child = parent.children[index];
    if (!IsWordOrPhrase(child)) {
      return Visit(child);
    }
    if (m_budgetSpent) {
      return std::nullopt;
    }
    for (size_t i = 0; i < index; ++i) {
      if (SameOperand(parent.children[i], child)) {
        return std::nullopt;
      }
    }
    const int phrasesBefore = m_phrases;
    const bool failedBefore = m_result.error.has_value();
    SetExpr set = Visit(child);
    if (!failedBefore && m_result.error && m_result.error->code == Code::kTooComplex &&
        m_phrases > kMaxPhrases) {
      m_result.error.reset();
      m_phrases = phrasesBefore;
      m_budgetSpent = true;
      Warn(Code::kIgnoredWord, child.offset, parent.offset + parent.length - child.offset);
      return std::nullopt;
    }
    return set;
  }

  // Words that only score: the pages `required` matches, with their phrases beside it in an OR
  // that every such page satisfies through a weightless copy of `required`.
  static SetExpr WithOptional(SetExpr required, std::vector<MatchText> optional) {
    if (optional.empty() || required.kind != Kind::kMatch) {
      return required;
    }
    optional.insert(optional.begin(), Unscored(required.match));
    MatchText scored = Join(std::move(optional), " OR ");
    return Match(Join({std::move(required.match), std::move(scored)}, " AND "));
  }

  // The match of an optional word, or nullopt when `index` is not one.
  std::optional<MatchText> OptionalOperand(const Node& parent, size_t index) {
    const Node& child = parent.children[index];
    if (!child.optional) {
      return std::nullopt;
    }
    std::optional<SetExpr> set = VisitOperand(parent, index);
    if (!set || set->kind != Kind::kMatch) {
      return MatchText{};
    }
    return std::move(set->match);
  }

  SetExpr VisitAnd(const Node& node) {
    std::vector<MatchText> optional;
    SetExpr required = VisitAndRequired(node, optional);
    return WithOptional(std::move(required), std::move(optional));
  }

  SetExpr VisitAndRequired(const Node& node, std::vector<MatchText>& optional) {
    std::vector<MatchText> chain;
    std::vector<MatchText> negatives;
    std::vector<SetExpr> mixed;
    const auto flush = [&] {
      if (chain.empty() || negatives.empty()) {
        return;
      }
      MatchText kept = Join(std::move(chain), " AND ");
      MatchText dropped = Unscored(Join(std::move(negatives), " OR "));
      kept.text = "(" + kept.text + " NOT " + dropped.text + ")";
      kept.weights.insert(kept.weights.end(), dropped.weights.begin(), dropped.weights.end());
      chain = {std::move(kept)};
      negatives.clear();
    };
    for (size_t i = 0; i < node.children.size(); ++i) {
      if (std::optional<MatchText> word = OptionalOperand(node, i)) {
        if (!word->text.empty()) optional.push_back(std::move(*word));
        continue;
      }
      std::optional<SetExpr> operand = VisitOperand(node, i);
      if (!operand) {
        continue;
      }
      SetExpr set = std::move(*operand);
      if (set.kind == Kind::kNothing) {
        return {};
      }
      if (set.kind == Kind::kAll) {
        continue;
      }
      if (set.kind == Kind::kMatch) {
        flush();
        chain.push_back(std::move(set.match));
      } else if (IsNegatedMatch(set)) {
        negatives.push_back(std::move(set.kids.front().match));
      } else {
        mixed.push_back(std::move(set));
      }
    }
    flush();
    std::vector<SetExpr> parts;
    if (!chain.empty()) {
      parts.push_back(Match(Join(std::move(chain), " AND ")));
    } else if (!negatives.empty()) {
      parts.push_back(Negate(Match(Unscored(Join(std::move(negatives), " OR ")))));
    }
    for (SetExpr& m : mixed) {
      parts.push_back(std::move(m));
    }
    if (parts.empty()) {
      return {Kind::kAll, {}, {}};
    }
    if (parts.size() == 1) {
      return std::move(parts.front());
    }
    return {Kind::kAnd, {}, std::move(parts)};
  }

  SetExpr VisitOr(const Node& node) {
    std::vector<MatchText> optional;
    SetExpr required = VisitOrRequired(node, optional);
    return WithOptional(std::move(required), std::move(optional));
  }

  SetExpr VisitOrRequired(const Node& node, std::vector<MatchText>& optional) {
    std::vector<MatchText> positives;
    std::vector<MatchText> negatives;
    std::vector<SetExpr> parts;
    bool all = false;
    for (size_t i = 0; i < node.children.size(); ++i) {
      if (std::optional<MatchText> word = OptionalOperand(node, i)) {
        if (!word->text.empty()) optional.push_back(std::move(*word));
        continue;
      }
      std::optional<SetExpr> operand = VisitOperand(node, i);
      if (!operand) {
        continue;
      }
      SetExpr set = std::move(*operand);
      if (set.kind == Kind::kNothing) {
        continue;
      }
      if (set.kind == Kind::kAll) {
        all = true;
      } else if (set.kind == Kind::kMatch) {
        positives.push_back(std::move(set.match));
      } else if (IsNegatedMatch(set)) {
        negatives.push_back(std::move(set.kids.front().match));
      } else {
        parts.push_back(std::move(set));
      }
    }
    if (all) {
      return {Kind::kAll, {}, {}};
    }
    if (!negatives.empty()) {
      parts.insert(parts.begin(), Negate(Match(Unscored(Join(std::move(negatives), " AND ")))));
    }
    if (!positives.empty()) {
      parts.insert(parts.begin(), Match(Join(std::move(positives), " OR ")));
    }
    if (parts.empty()) {
      return {};
    }
    if (parts.size() == 1) {
      return std::move(parts.front());
    }
    return {Kind::kOr, {}, std::move(parts)};
  }

  // FTS5's NEAR takes plain phrases only, so operands with alternatives are distributed into an
  // OR of NEAR groups, one per combination.
  SetExpr VisitNear(const Node& node) {
    std::vector<std::vector<MatchText>> groups(1);
    for (const Node& operand : node.children) {
      std::vector<MatchText> choices;
      const int group = m_nextGroup++;
      if (operand.kind == NodeKind::kOr) {
        for (const Node& alternative : operand.children) {
          for (MatchText& p : Phrases(alternative, group, false)) {
            choices.push_back(std::move(p));
          }
        }
      } else {
        choices = Phrases(operand, group, false);
      }
      if (m_result.error || choices.empty()) {
        return {};
      }
      if (groups.size() * choices.size() > static_cast<size_t>(kMaxNearGroups)) {
        Fail(Code::kTooComplex, node.offset, node.length);
        return {};
      }
      std::vector<std::vector<MatchText>> next;
      for (const auto& group : groups) {
        for (const MatchText& choice : choices) {
          next.push_back(group);
          next.back().push_back(choice);
        }
      }
      groups = std::move(next);
    }
    std::vector<MatchText> nears;
    for (const auto& group : groups) {
      MatchText near{"NEAR(", {}};
      for (size_t i = 0; i < group.size(); ++i) {
        near.text += (i > 0 ? " " : "") + group[i].text;
        near.weights.insert(near.weights.end(), group[i].weights.begin(), group[i].weights.end());
      }
      near.text += ", " + std::to_string(node.distance) + ")";
      nears.push_back(std::move(near));
    }
    // Each NEAR group repeats its operands' phrases.
    CountPhrases(static_cast<int>((groups.size() - 1) * groups.front().size()));
    return Match(Join(std::move(nears), " OR "));
  }

  static SetExpr Restrict(SetExpr set, const std::string& columns) {
    if (set.kind == Kind::kMatch) {
      set.match.text = columns + " : (" + set.match.text + ")";
    } else {
      for (SetExpr& kid : set.kids) {
        kid = Restrict(std::move(kid), columns);
      }
    }
    return set;
  }

  void CheckDepth(const SetExpr& set) {
    if (set.kind == Kind::kMatch && MatchDepth(set.match.text) >= kMaxMatchDepth) {
      Fail(Code::kTooComplex, 0, m_whole);
    }
    for (const SetExpr& kid : set.kids) {
      CheckDepth(kid);
    }
  }

  void CountPhrases(int count) {
    m_phrases += count;
    if (m_phrases > kMaxPhrases) {
      Fail(Code::kTooComplex, 0, m_whole);
    }
  }

  void Warn(Code code, int offset, int length) {
    m_result.warnings.push_back(MakeDiagnostic(code, offset, length));
  }

  void Fail(Code code, int offset, int length) {
    if (!m_result.error) {
      m_result.error = MakeDiagnostic(code, offset, length);
    }
  }

  const Expander& m_expand;
  Translation m_result;
  int m_phrases = 0;
  bool m_budgetSpent = false;  // words past the phrase budget are being left out
  int m_whole = 0;
  int m_nextGroup = 0;
};

}  // namespace

std::string WeightList(const std::vector<PhraseWeight>& weights) {
  std::string out;
  char number[32];
  for (const PhraseWeight& w : weights) {
    if (!out.empty()) {
      out += ',';
    }
    // Independent of the process's locale, which may write a decimal comma.
    const auto written = std::to_chars(number, number + sizeof number, w.weight);
    out.append(number, written.ptr);
    out += '/' + std::to_string(w.group);
  }
  return out;
}

Translation Translate(const Node& root, const Expander& expand) {
  return Translator(expand).Run(root);
}

int MatchDepth(std::string_view match) {
  int depth = 0;
  int deepest = 0;
  bool quoted = false;
  std::vector<int> costs;
  for (size_t i = 0; i < match.size(); ++i) {
    const char c = match[i];
    if (c == '"') {
      quoted = !quoted;  // a doubled quote toggles twice
    } else if (!quoted && c == '(') {
      const bool filtered = i >= 2 && match.substr(i - 2, 2) == ": ";
      costs.push_back(filtered ? 2 : 1);
      depth += costs.back();
      deepest = std::max(deepest, depth);
    } else if (!quoted && c == ')' && !costs.empty()) {
      depth -= costs.back();
      costs.pop_back();
    }
  }
  return deepest;
}

}  // namespace dizode::query
