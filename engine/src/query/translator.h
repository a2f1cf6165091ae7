// Translating the query tree into sets of pages described by FTS5 MATCH texts.
//
// FTS5 cannot express everything the language can: a query that is only negative, or an OR with
// a negative-only branch, has no MATCH text. The translator therefore produces a small set
// expression whose leaves are MATCH texts; whatever folds into one MATCH text (possibly negated)
// does, and the rest becomes SQL set operations over page ids.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "query/ast.h"
#include "query/query.h"

namespace dizode::query {

// How help_rank scores one phrase of a MATCH text: its weight (0: not scored, e.g. under NOT)
// and the word group it belongs to (the alternatives of one typed word share a group).
struct PhraseWeight {
  double weight;
  int group;
  std::string phrase;  // the phrase as the MATCH text writes it
};

// A MATCH text and the weights of its phrases, in the order FTS5 numbers them.
struct MatchText {
  std::string text;
  std::vector<PhraseWeight> weights;
  bool operator==(const MatchText& other) const { return text == other.text; }
};

// The weights as help_rank reads them: "1/0,0.6/0,1/1".
std::string WeightList(const std::vector<PhraseWeight>& weights);

struct SetExpr {
  enum class Kind {
    kNothing,  // no page (a wildcard matched no vocabulary term)
    kAll,      // every page (the negation of nothing)
    kMatch,    // the pages that match `match`
    kNot,      // every page not in kids[0]
    kAnd,      // intersection of kids
    kOr,       // union of kids
  };
  Kind kind = Kind::kNothing;
  MatchText match;
  std::vector<SetExpr> kids;
};

// Vocabulary terms for a GLOB pattern, most frequent first.
struct Expansion {
  std::vector<std::string> terms;
  bool truncated = false;            // more than the limit existed
  bool interrupted = false;          // the search's time budget ran out while reading
  std::optional<std::string> error;  // the vocabulary could not be read
};
using Expander = std::function<Expansion(const std::string& pattern)>;

struct Translation {
  SetExpr set;
  std::vector<Diagnostic> warnings;
  std::optional<Diagnostic> error;
};

Translation Translate(const Node& root, const Expander& expand);

// Nesting cost of a MATCH text as FTS5's parser stack sees it: parenthesis depth, with a column
// filter's parentheses counting double.
int MatchDepth(std::string_view match);

}  // namespace dizode::query
