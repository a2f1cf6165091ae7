// Parsing the token stream into the query tree, resolving bare operators, field restrictions
// and precedence, and reporting misuse of the explicit syntax.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "query/ast.h"
#include "query/query.h"

namespace dizode::query {

struct ParseResult {
  Node root;  // kEmpty when the query has nothing to search for
  std::vector<Diagnostic> warnings;
  std::optional<Diagnostic> error;  // includes E_EMPTY
  bool usedOperator = false;        // an operator other than <CONTAINS> took effect
  bool usedWildcard = false;        // a prefix or pattern term exists
  int operandCount = 0;             // word and phrase operands kept in the tree
};

ParseResult Parse(std::string_view text, const Options& options);

}  // namespace dizode::query
