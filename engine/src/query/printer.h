// One canonical text form of a query tree, so tests can state what a query means.
//
//   word            print       a word of several tokens: [foo bar]
//   prefix/pattern  print*      colo?r
//   phrase          "print dia*"
//   operators       (a AND NOT b AND c)   (a OR b)   NEAR/10(a, b)   TITLE:(a)   BODY:(a)
#pragma once

#include <string>

#include "query/ast.h"

namespace dizode::query {

std::string Print(const Node& node);

}  // namespace dizode::query
