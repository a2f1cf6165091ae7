// help_rank: the FTS5 auxiliary function that scores a matching page, higher is better.
//
//   help_rank(fts, weights, titlekey, querykey)
//
// `weights` lists, in FTS5's phrase order, one entry per phrase of the MATCH text: `W` or `W/G`,
// where W is a decimal weight and G a word group shared by the alternatives of one typed word.
// Weight 0 leaves a phrase unscored (phrases under NOT); missing or malformed entries, or a NULL
// list, mean weight 1 in a group of the phrase's own.
//
// The score sums, over scored phrases and columns, a BM25 term with per-column length
// normalisation and column weights, using an IDF that never drops below a floor so a word found
// on most pages still counts for something. It is then multiplied by a proximity bonus when two
// different word groups occur close together in one column, and by an exact-title bonus when
// the page's title key equals the query key.
#pragma once

#include <sqlite3.h>

namespace dizode::query {

// Ranking parameters; the defaults are the engine's. Per-column arrays are ordered title,
// headings, body; a table with more columns scores the extra ones like the body.
//
// The defaults were chosen on judged queries over four documentation sets (bench/relevance).
// Titles are short, so their length matters little (b 0.3). A page's title usually comes back as
// its first heading, so a title weight of 2.5 beside the headings' 2 already puts title matches
// well ahead of body text; a weight of 5 let any page named after a word bury the longer page
// that explains it.
struct RankParams {
  double k1 = 1.2;
  double b[3] = {0.3, 0.6, 0.6};
  double columnWeight[3] = {2.5, 2.0, 1.0};
  double idfFloor = 0.3;
  double proximityBonus = 1.25;
  int proximityWindow = 8;  // most tokens between the start offsets of two nearby instances
  double exactTitleBonus = 2.0;
};

// Registers help_rank on this connection with a copy of `params`, owned by the registration.
// Returns an SQLite result code (SQLITE_OK on success).
int RegisterHelpRank(sqlite3* db, const RankParams& params = {});

}  // namespace dizode::query
