// Splitting query text into chunks: words, phrases, operator tokens and grouping parentheses,
// each with its byte offset and length in the original text.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "query/query.h"
#include "query/terms.h"

namespace dizode::query {

enum class TokenKind { kWord, kPhrase, kOpen, kClose, kOperator };
enum class Operator { kAnd, kOr, kNot, kNear, kContains };

constexpr int kDefaultNearDistance = 10;
constexpr int kMaxNearDistance = 64;

struct Token {
  TokenKind kind = TokenKind::kWord;
  int offset = 0;
  int length = 0;
  Operator op = Operator::kAnd;         // kOperator only
  int distance = kDefaultNearDistance;  // kOperator kNear only
  std::string_view raw;                 // kWord: the chunk text without grouping parentheses
  std::vector<Unit> units;              // kWord, kPhrase: text with escapes resolved
  bool hasLowerCase = false;            // kWord, kPhrase
};

struct LexResult {
  std::vector<Token> tokens;
  std::vector<Diagnostic> warnings;
  std::optional<Diagnostic> error;
};

LexResult Lex(std::string_view text);

}  // namespace dizode::query
