// Plain text never fails: generated inputs of words, code, punctuation, quotes, parentheses,
// CJK and emoji compile to a search (or to E_EMPTY / E_TOO_COMPLEX), and the search runs on a
// real collection without SQLite rejecting it.
#include <gtest/gtest.h>

#include <random>
#include <regex>

#include "query/query.h"
#include "query_test_db.h"

namespace dizode::query {
namespace {

using testing::Row;
using testing::TestDb;

constexpr const char* kPieces[] = {
    "print",
    "Printer",
    "dialog",
    "the",
    "a",
    "x",
    "AND",
    "OR",
    "NOT",
    "NEAR",
    "and",
    "or",
    "C++",
    "C#",
    ".NET",
    "e-mail",
    "foo.bar",
    "QString::arg()",
    "vector<int>",
    "std::vec*",
    "10.0.0.1",
    "C:\\Windows",
    "-r",
    "12\"",
    "how",
    "do",
    "I",
    "print?",
    "a*b",
    "*",
    "?",
    "**",
    "colo?r",
    "*ing",
    "pr*",
    "(",
    ")",
    "((",
    "))",
    "()",
    "\"",
    "\"\"",
    "\\",
    "\\\"",
    "\\(",
    "\\*",
    "<",
    ">",
    "<b>",
    "</b>",
    "<int>",
    "<x1>",
    "a<AND>b",
    "<",
    "/",
    "&&",
    "||",
    "--",
    "+",
    "=",
    "^",
    "~",
    "#",
    ":",
    ";",
    ",",
    ".",
    "'",
    "`",
    "$",
    "%",
    "@",
    "!",
    "{",
    "}",
    "[",
    "]",
    "[[",
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E",  // CJK
    "\xE8\xAA\x9E",
    "\xF0\x9F\x98\x80",  // emoji
    "\xE2\x80\x9C",
    "\xE2\x80\x9D",
    "\xE2\x80\x9E",  // curly and low quotes
    "caf\xC3\xA9",
    "\xC3\x9F",
    "\xE3\x80\x80",  // U+3000 ideographic space
    "\xC2\xA0",
    "\xFF",
    "\xC3",  // NBSP, invalid bytes
};

std::string Generate(std::mt19937& rng) {
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<int> count(1, 12);
  std::uniform_int_distribution<int> gap(0, 3);
  std::string text;
  const int n = count(rng);
  for (int i = 0; i < n; ++i) {
    text += kPieces[piece(rng)];
    if (gap(rng) > 0) {
      text += ' ';
    }
  }
  // Stand-alone <NAME> chunks are explicit syntax, which may fail by design.
  static const std::regex kOperatorLike("<[A-Za-z]+(/[0-9]+)?>");
  return std::regex_replace(text, kOperatorLike, "<x1>");
}

TEST(QueryPlainTextPropertyTest, NeverFailsAndAlwaysRuns) {
  TestDb db({
      {"a.htm", "Printer setup", "Print", "print the dialog, e-mail foo.bar C++ vector<int>"},
      {"b.htm", "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E", "", "caf\xC3\xA9 colour printing"},
  });
  std::mt19937 rng(20261207);
  int searched = 0;
  for (int i = 0; i < 3000; ++i) {
    const std::string query = Generate(rng);
    const Plan plan = Compile(query, db.handle());
    if (plan.error) {
      EXPECT_TRUE(plan.error->code == Code::kEmpty || plan.error->code == Code::kTooComplex)
          << "query: " << query << " -> " << CodeName(plan.error->code) << " at "
          << plan.error->offset;
      continue;
    }
    for (const Diagnostic& w : plan.warnings) {
      EXPECT_FALSE(IsError(w.code)) << query;
      EXPECT_GE(w.offset, 0) << query;
      EXPECT_LE(w.offset + w.length, static_cast<int>(query.size())) << query;
    }
    if (plan.matchesNothing) {
      continue;
    }
    std::vector<Row> rows;
    std::string error;
    EXPECT_TRUE(db.Run(plan.statement, rows, error)) << "query: " << query << "\n" << error;
    if (plan.relaxed) {
      EXPECT_TRUE(db.Run(*plan.relaxed, rows, error)) << "query: " << query << "\n" << error;
    }
    ++searched;
  }
  EXPECT_GT(searched, 2000);
}

}  // namespace
}  // namespace dizode::query
