// The engine's query language: compiles the text a person typed into the SQL that finds and
// ranks pages. The store runs the returned statements; this module only reads the vocabulary
// table (for wildcard expansion) through the connection it is given.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace dizode::query {

enum class Code {
  // Errors: the search fails (kEmpty excepted: it succeeds with no rows).
  kEmpty,
  kUnknownOperator,
  kBadOperatorArgument,
  kMissingOperand,
  kUnknownField,
  kMissingField,
  kFieldConflict,
  kNearOperand,
  kTooComplex,
  kOutOfTime,
  kInternal,
  // Warnings: the search runs.
  kQuoteAutoclosed,
  kUnclosedParen,
  kUnmatchedParen,
  kOperatorAsWord,
  kIgnoredWord,
  kWildcardTruncated,
  kNearStemsDropped,
  kRelaxedToOr,
  kIndexStale,
};

// True for the codes that make a search fail or yield nothing (kEmpty .. kInternal).
bool IsError(Code code);

// The stable name of a code as documented for users ("E_EMPTY", "W_RELAXED_TO_OR", ...).
std::string_view CodeName(Code code);

struct Diagnostic {
  Code code = Code::kInternal;
  std::string message;  // English, from a template keyed by code
  int offset = 0;       // byte offset into the query text
  int length = 0;       // byte length of the culprit
  int userOffset = 0;   // offset minus the titles-only prefix; -1 inside it; = offset without it
};

// SQL text with ?1..?n placeholders, each bound as TEXT from params[i - 1].
struct Statement {
  std::string sql;
  std::vector<std::string> params;
  // The ranking evidence of the statement's scored phrases: when `evidenceParam` is set, that
  // parameter is an Evidence pointer (rank_evidence.h) to fill first, from the evidence table,
  // with `evidenceMatch` (the scored phrases ORed) numbered as `evidencePhrases` lists.
  int evidenceParam = 0;
  std::string evidenceMatch = {};
  std::vector<int> evidencePhrases = {};
};

struct Plan {
  std::optional<Diagnostic> error;  // set: the search fails (kEmpty: succeeds with no rows)
  std::vector<Diagnostic> warnings;
  bool matchesNothing = false;  // no SQL to run, zero rows
  // Yields rows (key TEXT, title TEXT, titlekey TEXT, s REAL or NULL) in no particular order;
  // Rank() of query/ranking.h gives their scores and final order.
  Statement statement;
  // Run instead when `statement` yields no row; the caller then appends `relaxedWarning`.
  std::optional<Statement> relaxed;
  std::optional<Diagnostic> relaxedWarning;
};

struct Options {
  bool bareOperators = true;             // AND/OR/NOT/NEAR in upper case act as operators
  std::string stemLanguage = "english";  // the collection's Snowball language, or "none"
  bool smallWordsOptional = true;        // see small_words.h
};

// Compiles a query. `db` is used read-only to expand wildcards from the vocabulary table; it may
// be null, in which case non-prefix wildcards match nothing. Never throws.
Plan Compile(std::string_view queryText, sqlite3* db, const Options& options = {});

// The TK_E_QUERY_* status of dizode.h for an error code (kEmpty has none: returns 0).
[[nodiscard]] int32_t StatusFor(Code error);

}  // namespace dizode::query
