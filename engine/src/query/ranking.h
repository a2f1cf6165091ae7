// The SQL that runs a translated query and ranks its rows.
//
// Rows are (key, title, score). Score is BM25 with the title weighted 5, headings 2 and body 1,
// scaled so the best row of the result scores 100 and every matching row at least 1; rows that
// qualify only through negation score 0. Order: score descending, then title key, then page
// key, so the same query over the same pages always lists the same rows in the same order.
#pragma once

#include "query/query.h"
#include "query/translator.h"

namespace dizode::query {

// `set` must not be kNothing (that needs no SQL at all).
Statement BuildStatement(const SetExpr& set);

}  // namespace dizode::query
