// The SQL that finds a translated query's rows, and the ranking that orders them.
//
// A statement yields rows (key, title, titlekey, s) in no particular order, where s is the score
// help_rank gives the row (higher is better), or NULL for a row that qualifies only through
// negation. Rank() then scales the scores so the best row of the result scores 100 and every
// matching row at least 1 (negation-only rows score 0), and orders rows by their unrounded score
// descending, then title key, then page key, so near ties keep their order and the same query
// over the same pages always lists the same rows in the same order. Doing this after the rows
// are read, rather than in SQL with a window function and a sort, keeps a search close to the
// cost of the full-text lookup itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "query/query.h"
#include "query/translator.h"

namespace dizode::query {

// `set` must not be kNothing (that needs no SQL at all).
Statement BuildStatement(const SetExpr& set);

struct RankedRow {
  std::string key;
  std::string title;
  std::string titlekey;
  double raw = 0;       // column s when `scored`
  bool scored = false;  // false: s was NULL
  int64_t score = 0;    // set by Rank()
};

// The score of a row with raw score `raw` when the best row of the result has `best`:
// max(1, round(100 × raw / best)), rounding halves away from zero, and 1 when `best` is 0.
int64_t ScaledScore(double raw, double best);

// Sets every row's score and returns the row indices in their final order.
std::vector<size_t> Rank(std::vector<RankedRow>& rows);

}  // namespace dizode::query
