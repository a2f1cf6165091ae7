// The parsed form of a query.
#pragma once

#include <string>
#include <vector>

#include "query/terms.h"

namespace dizode::query {

// Field sets of a restriction: TITLE is the title column, BODY the headings and body columns.
enum FieldMask : unsigned { kTitleField = 1, kBodyField = 2, kAllFields = 3 };

enum class NodeKind {
  kEmpty,   // nothing searchable (dropped words, empty groups); removed by the builders below
  kWord,    // a word chunk: its terms at consecutive positions
  kPhrase,  // a quoted phrase: exact terms, possibly a prefix
  kAnd,     // n-ary
  kOr,      // n-ary
  kNot,     // one child
  kNear,    // n-ary, `distance`
  kField,   // one child, `fields`
};

struct Node {
  NodeKind kind = NodeKind::kEmpty;
  int offset = 0;  // span in the query text, for diagnostics
  int length = 0;
  std::vector<Alternative> alternatives;  // kWord, kPhrase: the ways it may occur
  std::string key;                        // kWord, kPhrase: its words as a search key
  std::vector<Node> children;             // operators
  int distance = 0;                       // kNear
  unsigned fields = kAllFields;           // kField
  // kWord: a small word of a question typed in plain words; it scores where it occurs but does
  // not decide which pages match (see small_words.h).
  bool optional = false;
};

// Builders that keep the tree canonical: empty operands vanish, a one-operand AND or OR is its
// operand, nested ANDs and ORs flatten, and a double negation cancels.
Node MakeAnd(std::vector<Node> children);
Node MakeOr(std::vector<Node> children);
Node MakeNot(Node child, int offset);
Node MakeNear(std::vector<Node> children, int distance);
Node MakeField(Node child, unsigned fields, int offset);

}  // namespace dizode::query
