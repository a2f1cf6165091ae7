// Resource limits of the query language. Beyond them a query fails with E_TOO_COMPLEX instead of
// exhausting the parser, FTS5 or the time budget.
#pragma once

namespace dizode::query {

// Counted in UTF-16 code units, as the host's search box counts the text it hands over.
constexpr int kMaxQueryUnits = 4096;
constexpr int kMaxNesting = 32;  // grouping parentheses and field restrictions
constexpr int kMaxNearOperands = 8;
constexpr int kMaxNearGroups = 64;  // NEAR groups after distributing alternatives
constexpr int kMaxPhrases = 1024;   // FTS5 phrases in one MATCH text
constexpr int kMaxExpansion = 256;  // vocabulary terms per wildcard pattern
// FTS5 parses MATCH text with a fixed-size parser stack; measured on SQLite 3.40, 33 nested
// right-hand groups overflow it, and a column filter costs about as much as another level.
// The translator refuses deeper output instead of letting FTS5 fail at run time.
constexpr int kMaxMatchDepth = 30;

}  // namespace dizode::query
