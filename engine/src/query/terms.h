// Turning the text of a word or phrase chunk into the index terms it may match.
//
// Both sides of the index go through text/analysis.h, so a query word is read exactly as the
// page text it should find. A word becomes a group of alternatives, each a phrase of index
// terms with the weight its matches score with:
//   plain word `w`           "w" 1.0, stem of w 0.6 (numbers: "w" only)
//   joining glue (e-mail)    "e-mail" 1.0, "e mail" 0.8, "email" 1.0, stem of email 0.6
//   keeping glue (foo.bar)   "foo.bar" 1.0, "foo bar" 0.8; and, for scoring only, each part
//   one part with glue (C++) "c++" 1.0
//   several spans (f(x))     "f x" 0.8
//   gram run (日本語)        the phrase of its character pairs, 1.0
// A quoted phrase matches exact terms only: one alternative, the phrase of every part, never a
// stem. A word with wildcards is one alternative whose pattern terms the translator expands.
#pragma once

#include <string>
#include <vector>

namespace dizode::text {
class Stemmer;
}

namespace dizode::query {

// One character of a chunk after escapes are resolved; `wildcard` marks an active `*` or `?`.
struct Unit {
  char32_t c;
  bool wildcard;
};

struct Term {
  enum class Kind { kExact, kPrefix, kPattern };
  Kind kind = Kind::kExact;
  std::string text;  // normalised term; for kPattern a GLOB pattern with [ and ] escaped
};

inline constexpr double kExactWeight = 1.0;
inline constexpr double kPartsWeight = 0.8;
inline constexpr double kStemWeight = 0.6;
inline constexpr double kPatternWeight = 0.8;
// The parts of a name like shutil.rmtree add a little to its pages' scores, so the page that
// is about the name and keeps using its parts ranks first; they never decide what matches.
inline constexpr double kScoringPartWeight = 0.25;

// One way a word can occur: a phrase of terms at consecutive positions.
struct Alternative {
  std::vector<Term> terms;
  double weight = kExactWeight;
  bool scoringOnly = false;  // implied by the others: scores, never widens the match
};

struct TermList {
  std::vector<Alternative> alternatives;  // empty: the chunk holds nothing searchable
  bool hadWildcard = false;               // some wildcard took part (relaxation never applies then)
  std::string key;  // the chunk's words as text/analysis.h's SearchKey writes them
};

// `inPhrase`: only a trailing `*` counts (a prefix); other wildcards act as punctuation.
// `stemmer` may be null or invalid: no stem alternatives then.
TermList SplitTerms(const std::vector<Unit>& units, bool inPhrase, text::Stemmer* stemmer);

}  // namespace dizode::query
