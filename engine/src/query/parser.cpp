#include "query/parser.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include "query/diagnostics.h"
#include "query/lexer.h"
#include "query/limits.h"
#include "text/stemmer.h"

namespace dizode::query {
namespace {

std::optional<Operator> BareOperatorName(const Token& token) {
  if (token.kind != TokenKind::kWord) {
    return std::nullopt;
  }
  if (token.raw == "AND") {
    return Operator::kAnd;
  }
  if (token.raw == "OR") {
    return Operator::kOr;
  }
  if (token.raw == "NOT") {
    return Operator::kNot;
  }
  if (token.raw == "NEAR") {
    return Operator::kNear;
  }
  return std::nullopt;
}

bool IsIdentifier(std::string_view s) {
  if (s.empty() || !std::isalpha(static_cast<unsigned char>(s.front()))) {
    return false;
  }
  return std::all_of(s.begin(), s.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
  });
}

std::optional<unsigned> FieldNamed(std::string_view name) {
  std::string upper;
  for (char c : name) {
    upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  if (upper == "TITLE") {
    return kTitleField;
  }
  if (upper == "BODY") {
    return kBodyField;
  }
  return std::nullopt;
}

// The text's length in UTF-16 code units: one per character, two beyond the basic plane.
// Malformed UTF-8 is counted by its bytes that are not continuation bytes.
size_t Utf16Units(std::string_view text) {
  size_t units = 0;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) != 0x80) {
      units += byte >= 0xF0 ? 2 : 1;
    }
  }
  return units;
}

class Parser {
 public:
  Parser(std::string_view text, const Options& options)
      : m_text(text),
        m_options(options),
        m_stemmer(options.stemLanguage, text::Stemmer::kQueryCacheSetBits) {}

  ParseResult Run() {
    if (Utf16Units(m_text) > static_cast<size_t>(kMaxQueryUnits)) {
      Fail(Code::kTooComplex, 0, static_cast<int>(m_text.size()));
      return std::move(m_result);
    }
    LexResult lex = Lex(m_text);
    m_result.warnings = std::move(lex.warnings);
    if (lex.error) {
      m_result.error = std::move(lex.error);
      return std::move(m_result);
    }
    BalanceParens(std::move(lex.tokens));
    if (Failed()) {
      return std::move(m_result);
    }
    // A query without lower-case text (a pasted "ACCESS NOT ALLOWED") has no bare operators.
    m_bare = m_options.bareOperators && HasLowerCase();
    Node root = ParseOr();
    if (!Failed() && m_pos < m_tokens.size()) {
      FailAtLeftover();
    }
    if (!Failed() && root.kind == NodeKind::kEmpty) {
      Fail(Code::kEmpty, static_cast<int>(m_text.size()), 0);
    }
    if (!Failed()) {
      m_result.root = std::move(root);
    }
    return std::move(m_result);
  }

 private:
  // Drops closers without an opener, closes groups left open at the end, and bounds nesting, so
  // the descent below always finds a closer for every opener.
  void BalanceParens(std::vector<Token> tokens) {
    std::vector<size_t> open;
    for (Token& token : tokens) {
      if (token.kind == TokenKind::kOpen) {
        if (static_cast<int>(open.size()) >= kMaxNesting) {
          Fail(Code::kTooComplex, token.offset, token.length);
          return;
        }
        open.push_back(m_tokens.size());
      } else if (token.kind == TokenKind::kClose) {
        if (open.empty()) {
          Warn(Code::kUnmatchedParen, token.offset, token.length);
          continue;
        }
        open.pop_back();
      }
      m_tokens.push_back(std::move(token));
    }
    for (size_t index : open) {
      Warn(Code::kUnclosedParen, m_tokens[index].offset, 1);
    }
    for (size_t k = 0; k < open.size(); ++k) {
      Token closer;
      closer.kind = TokenKind::kClose;
      closer.offset = static_cast<int>(m_text.size());
      m_tokens.push_back(std::move(closer));
    }
  }

  bool HasLowerCase() const {
    for (size_t i = 0; i < m_tokens.size(); ++i) {
      if (m_tokens[i].hasLowerCase && !IsFieldPrefix(i)) {
        return true;
      }
    }
    return false;
  }

  const Token* At(size_t i) const { return i < m_tokens.size() ? &m_tokens[i] : nullptr; }

  bool IsOperator(size_t i, Operator op) const {
    const Token* t = At(i);
    return t && t->kind == TokenKind::kOperator && t->op == op;
  }

  bool IsFieldPrefix(size_t i) const {
    const Token* t = At(i);
    return t && t->kind == TokenKind::kWord && IsIdentifier(t->raw) &&
           IsOperator(i + 1, Operator::kContains);
  }

  bool IsBareOperator(size_t i, Operator op) const {
    const Token* t = At(i);
    return m_bare && t && BareOperatorName(*t) == op;
  }

  // Whether an operand starts at `i` (possibly after unary <NOT>s).
  bool StartsOperand(size_t i) const {
    while (IsOperator(i, Operator::kNot)) {
      ++i;
    }
    const Token* t = At(i);
    return t && (t->kind == TokenKind::kWord || t->kind == TokenKind::kPhrase ||
                 t->kind == TokenKind::kOpen);
  }

  // A binary operator at `i`: bracketed, or a bare word between two operands.
  bool IsBinary(size_t i, Operator op) const {
    return IsOperator(i, op) || (IsBareOperator(i, op) && StartsOperand(i + 1));
  }

  // Consumes the operator at the current position and checks that an operand follows it.
  const Token& TakeOperator() {
    const Token& op = m_tokens[m_pos++];
    m_result.usedOperator = true;
    if (!StartsOperand(m_pos)) {
      const Token* next = At(m_pos);
      const bool misplaced = next && next->kind == TokenKind::kOperator;
      Fail(Code::kMissingOperand, misplaced ? next->offset : op.offset,
           misplaced ? next->length : op.length);
    }
    return op;
  }

  Node ParseOr() {
    // Groups are bounded by BalanceParens; this bounds chains of field restrictions too, with
    // room for the titles-only prefix around a query that uses every level of grouping.
    if (++m_depth > 2 * kMaxNesting + 1) {
      const Token* t = At(m_pos);
      Fail(Code::kTooComplex, t ? t->offset : 0, t ? t->length : 0);
      return {};
    }
    std::vector<Node> parts;
    parts.push_back(ParseAnd());
    while (!Failed() && IsBinary(m_pos, Operator::kOr)) {
      TakeOperator();
      if (Failed()) {
        break;
      }
      parts.push_back(ParseAnd());
    }
    --m_depth;
    return MakeOr(std::move(parts));
  }

  Node ParseAnd() {
    std::vector<Node> parts;
    parts.push_back(ParseUnary());
    while (!Failed() && m_pos < m_tokens.size()) {
      if (IsBinary(m_pos, Operator::kAnd)) {
        TakeOperator();
        if (!Failed()) {
          parts.push_back(ParseUnary());
        }
      } else if (IsBinary(m_pos, Operator::kNot)) {
        const int offset = TakeOperator().offset;
        if (!Failed()) {
          parts.push_back(MakeNot(ParseUnary(), offset));
        }
      } else if (!IsBinary(m_pos, Operator::kOr) && (m_tokens[m_pos].kind == TokenKind::kWord ||
                                                     m_tokens[m_pos].kind == TokenKind::kPhrase ||
                                                     m_tokens[m_pos].kind == TokenKind::kOpen)) {
        parts.push_back(ParseUnary());  // juxtaposition
      } else {
        break;
      }
    }
    return MakeAnd(std::move(parts));
  }

  // Leading unary <NOT>s; returns how many and where the first one is.
  int TakeUnaryNots(int& firstOffset) {
    int count = 0;
    while (!Failed() && (IsOperator(m_pos, Operator::kNot) ||
                         (IsBareOperator(m_pos, Operator::kNot) && StartsOperand(m_pos + 1)))) {
      if (count++ == 0) {
        firstOffset = m_tokens[m_pos].offset;
      }
      TakeOperator();
    }
    return count;
  }

  Node ParseUnary() {
    int offset = 0;
    const int nots = TakeUnaryNots(offset);
    if (Failed()) {
      return {};
    }
    Node node = ParseNear();
    return nots % 2 == 1 ? MakeNot(std::move(node), offset) : node;
  }

  Node ParseNear() {
    Node first = ParsePrimary();
    if (Failed() || !IsBinary(m_pos, Operator::kNear)) {
      return first;
    }
    std::vector<Node> operands;
    operands.push_back(std::move(first));
    int distance = INT_MAX;
    while (!Failed() && IsBinary(m_pos, Operator::kNear)) {
      const bool bare = m_tokens[m_pos].kind == TokenKind::kWord;
      const Snapshot before = Save();
      const Token& op = TakeOperator();
      distance =
          std::min(distance, op.kind == TokenKind::kOperator ? op.distance : kDefaultNearDistance);
      if (Failed()) {
        break;
      }
      int offset = 0;
      const int nots = TakeUnaryNots(offset);
      if (Failed()) {
        break;
      }
      Node operand = ParsePrimary();
      if (nots % 2 == 1) {
        operand = MakeNot(std::move(operand), offset);
      }
      // Plain text never fails: a bare NEAR that would take an invalid operand is a word.
      if (bare && !Failed() && !(IsNearOperand(operands.front()) && IsNearOperand(operand))) {
        Restore(before);
        break;
      }
      operands.push_back(std::move(operand));
    }
    if (Failed()) {
      return {};
    }
    if (operands.size() == 1) {
      return std::move(operands.front());
    }
    int kept = 0;
    for (const Node& operand : operands) {
      if (!IsNearOperand(operand)) {
        Fail(Code::kNearOperand, operand.offset, operand.length);
        return {};
      }
      if (operand.kind != NodeKind::kEmpty && ++kept > kMaxNearOperands) {
        Fail(Code::kTooComplex, operand.offset, operand.length);
        return {};
      }
    }
    return MakeNear(std::move(operands), distance);
  }

  struct Snapshot {
    size_t pos;
    size_t warnings;
    int operandCount;
    bool usedOperator;
    bool usedWildcard;
  };

  Snapshot Save() const {
    return {m_pos, m_result.warnings.size(), m_result.operandCount, m_result.usedOperator,
            m_result.usedWildcard};
  }

  void Restore(const Snapshot& s) {
    m_pos = s.pos;
    m_result.warnings.resize(s.warnings);
    m_result.operandCount = s.operandCount;
    m_result.usedOperator = s.usedOperator;
    m_result.usedWildcard = s.usedWildcard;
  }

  static bool IsNearOperand(const Node& node) {
    const auto simple = [](const Node& n) {
      return n.kind == NodeKind::kWord || n.kind == NodeKind::kPhrase || n.kind == NodeKind::kEmpty;
    };
    if (node.kind == NodeKind::kOr) {
      return std::all_of(node.children.begin(), node.children.end(), simple);
    }
    return simple(node);
  }

  Node ParsePrimary() {
    const Token* t = At(m_pos);
    if (!t || t->kind == TokenKind::kClose) {
      return {};
    }
    switch (t->kind) {
      case TokenKind::kOpen:
        return ParseGroup();
      case TokenKind::kOperator:
        FailAtLeftover();
        return {};
      case TokenKind::kPhrase:
        ++m_pos;
        return Leaf(*t, NodeKind::kPhrase);
      default:
        break;
    }
    if (IsFieldPrefix(m_pos)) {
      return ParseField();
    }
    ++m_pos;
    if (m_options.bareOperators && BareOperatorName(*t)) {
      Warn(Code::kOperatorAsWord, t->offset, t->length);
    }
    return Leaf(*t, NodeKind::kWord);
  }

  Node Leaf(const Token& token, NodeKind kind) {
    TermList list = SplitTerms(token.units, kind == NodeKind::kPhrase, &m_stemmer);
    if (list.alternatives.empty()) {
      Warn(Code::kIgnoredWord, token.offset, token.length);
      return {};
    }
    Node node;
    node.kind = kind;
    node.offset = token.offset;
    node.length = token.length;
    for (const Alternative& alternative : list.alternatives) {
      for (const Term& term : alternative.terms) {
        if (term.kind != Term::Kind::kExact) {
          m_result.usedWildcard = true;
        }
      }
    }
    node.alternatives = std::move(list.alternatives);
    node.key = std::move(list.key);
    ++m_result.operandCount;
    return node;
  }

  Node ParseGroup() {
    const Token& open = m_tokens[m_pos++];
    Node inner = ParseOr();
    if (Failed()) {
      return {};
    }
    const Token* close = At(m_pos);
    if (!close || close->kind != TokenKind::kClose) {
      FailAtLeftover();
      return {};
    }
    ++m_pos;
    const int end = std::max(close->offset + close->length, open.offset + 1);
    if (inner.kind == NodeKind::kEmpty) {
      if (m_pos >= 2 && &m_tokens[m_pos - 2] == &open) {
        Warn(Code::kIgnoredWord, open.offset, end - open.offset);  // `()`
      }
      return inner;
    }
    inner.offset = open.offset;
    inner.length = end - open.offset;
    return inner;
  }

  Node ParseField() {
    const Token& name = m_tokens[m_pos];
    const std::optional<unsigned> fields = FieldNamed(name.raw);
    if (!fields) {
      Fail(Code::kUnknownField, name.offset, name.length);
      return {};
    }
    if ((*fields & m_fields) == 0) {
      Fail(Code::kFieldConflict, name.offset, name.length);
      return {};
    }
    m_pos += 2;
    const unsigned saved = m_fields;
    m_fields &= *fields;
    Node operand =
        StartsOperand(m_pos) || IsOperator(m_pos, Operator::kNot) ? ParseOr() : ParseOperandless();
    m_fields = saved;
    if (Failed()) {
      return {};
    }
    if (operand.kind == NodeKind::kEmpty) {
      const Token* next = At(m_pos);
      Fail(Code::kEmpty, next ? next->offset : static_cast<int>(m_text.size()), 0);
      return {};
    }
    return MakeField(std::move(operand), *fields, name.offset);
  }

  // What follows `FIELD <CONTAINS>` when no operand starts there: the end of the group (E_EMPTY,
  // reported by the caller) or a misplaced operator.
  Node ParseOperandless() {
    const Token* t = At(m_pos);
    if (t && t->kind == TokenKind::kOperator) {
      FailAtLeftover();
    }
    return {};
  }

  // A token that cannot continue the query where it stands.
  void FailAtLeftover() {
    const Token& t = m_tokens[m_pos];
    const bool contains = t.kind == TokenKind::kOperator && t.op == Operator::kContains;
    Fail(contains ? Code::kMissingField : Code::kMissingOperand, t.offset, t.length);
  }

  void Warn(Code code, int offset, int length) {
    m_result.warnings.push_back(MakeDiagnostic(code, offset, length));
  }

  void Fail(Code code, int offset, int length) {
    if (!m_result.error) {
      m_result.error = MakeDiagnostic(code, offset, length);
    }
  }

  bool Failed() const { return m_result.error.has_value(); }

  std::string_view m_text;
  const Options& m_options;
  text::Stemmer m_stemmer;
  std::vector<Token> m_tokens;
  size_t m_pos = 0;
  bool m_bare = true;
  int m_depth = 0;
  unsigned m_fields = kAllFields;
  ParseResult m_result;
};

}  // namespace

ParseResult Parse(std::string_view text, const Options& options) {
  return Parser(text, options).Run();
}

}  // namespace dizode::query
