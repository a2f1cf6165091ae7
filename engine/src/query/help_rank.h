// help_rank: the FTS5 auxiliary function that scores a matching page, higher is better.
//
//   help_rank(fts, weights, name, evidence)
//
// `weights` lists, in FTS5's phrase order, one entry per phrase of the MATCH text: `W` or `W/G`,
// where W is a decimal weight and G a word group shared by the alternatives of one typed word.
// Weight 0 leaves a phrase unscored (phrases under NOT); missing or malformed entries, or a NULL
// list, mean weight 1 in a group of the phrase's own. `name` is where the page's name lies in its
// title (pages.name, title_names.h); `evidence` an Evidence object (rank_evidence.h) bound as a
// pointer. Every argument after `fts` may be NULL or left off.
//
// The page is scored as one document (BM25F): each word group's occurrences in the title, the
// headings, the body and the text of the links that other pages make to it are weighted per
// field and normalised by each field's length, then saturated once per word group and multiplied
// by the group's inverse document frequency (the lowest of its alternatives that occur, so that
// "logs" weighs on a page of "log" what it weighs on a page of "logs"), which never drops below a
// floor: a word found on most pages still counts for a little. The score is then multiplied when
// the query's words make up the page's whole name, and when two word groups occur close together.
//
//   help_section(fts, weights, sections)
//
// gives the index of the page's best section for the same query (section_bounds.h: 0 for the
// page's top, i for the section that bounds[i - 1] opens), scored by FindBestSection.
#pragma once

#include <sqlite3.h>

namespace dizode::query {

// The fields help_rank scores: the page's own columns, then the evidence table's.
enum RankField { kTitleField, kHeadsField, kBodyField, kLinksField, kRankFields };

// Ranking parameters; the defaults are the engine's, chosen on the tuning half of the judged
// queries in bench/relevance (tune.py), and checked on the held-out half.
struct RankParams {
  // A high k1 lets occurrences keep counting long after the first few: help pages repeat the
  // words of their subject, and the pages that repeat them most are the ones about it.
  double k1 = 10.0;
  double fieldWeight[kRankFields] = {4.0, 1.0, 1.0, 4.0};
  double b[kRankFields] = {0.9, 0.6, 0.3, 0.3};
  double idfFloor = 0.9;
  double proximityBonus = 1.1;
  int proximityWindow = 8;  // most tokens between the start offsets of two nearby instances
  // When every word group of the query is in the page's name and the query covers all of it.
  double exactNameBonus = 2.0;
  // Sections: the length, in positions, that a section is measured against, and how much its
  // length dampens its occurrences.
  double sectionLength = 100;
  double sectionB = 0.6;
};

// Registers help_rank and help_section (with a copy of `params`, owned by each registration) and
// help_evidence on this connection. Returns an SQLite result code (SQLITE_OK on success).
int RegisterHelpRank(sqlite3* db, const RankParams& params = {});

}  // namespace dizode::query
