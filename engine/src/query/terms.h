// Turning the text of a word or phrase chunk into index terms.
//
// The index is tokenized by FTS5's porter stemmer over unicode61, which splits at every character
// that is not a letter or digit and stems both the pages and the query. Consequences for the
// query side, which this module implements:
//   * a plain word is its single token, with no separate stem alternatives: `printing` is the
//     term "printing", and FTS5 stems it when it parses the MATCH text;
//   * glue characters split: `foo.bar` is the phrase "foo bar", `e-mail` is "e mail",
//     `QString::arg()` is "qstring arg", `C++` is "c", `C#` is "c";
//   * a quoted phrase is stemmed too, so `"news"` also finds "new";
//   * wildcard patterns other than a trailing `*` are matched against the vocabulary, which holds
//     stems: `colo?r` finds color and colour, but `*ing` finds little, since stems rarely end so.
#pragma once

#include <string>
#include <vector>

namespace dizode::query {

// One character of a chunk after escapes are resolved; `wildcard` marks an active `*` or `?`.
struct Unit {
  char32_t c;
  bool wildcard;
};

struct Term {
  enum class Kind { kExact, kPrefix, kPattern };
  Kind kind = Kind::kExact;
  std::string text;  // folded token; for kPattern a GLOB pattern with [ and ] escaped
};

struct TermList {
  std::vector<Term> terms;   // consecutive positions
  bool hadWildcard = false;  // some wildcard took part (relaxation never applies then)
};

// `inPhrase`: only a trailing `*` counts (a prefix); other wildcards act as punctuation.
TermList SplitTerms(const std::vector<Unit>& units, bool inPhrase);

}  // namespace dizode::query
