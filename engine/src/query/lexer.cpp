#include "query/lexer.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "query/diagnostics.h"
#include "query/text.h"
#include "utf/code_points.h"

namespace dizode::query {
namespace {

bool IsEscapable(char32_t c) {
  return c == U'\\' || c == U'"' || c == U'(' || c == U')' || c == U'<' || c == U'>' || c == U'*' ||
         c == U'?';
}

// The characters of a chunk with the escape state of each, before wildcards are decided.
struct RawChar {
  char32_t c;
  int offset;  // byte offset of the character (of the backslash when escaped)
  bool escaped;
};

class Lexer {
 public:
  explicit Lexer(std::string_view text) : m_text(text) {}

  LexResult Run() {
    size_t i = 0;
    while (i < m_text.size() && !m_result.error) {
      const utf::CodePoint cp = utf::DecodeUtf8(m_text, i);
      if (IsWhiteSpace(cp.value)) {
        i += cp.size;
      } else if (IsQuote(cp.value)) {
        i = LexPhrase(i, cp.size);
      } else {
        i = LexChunk(i);
      }
    }
    return std::move(m_result);
  }

 private:
  // Reads characters from `i` until a stop character; a backslash escapes the next character
  // when it is one of the metacharacters.
  template <typename Stop>
  size_t ReadChars(size_t i, std::vector<RawChar>& out, Stop stop) {
    while (i < m_text.size()) {
      const utf::CodePoint cp = utf::DecodeUtf8(m_text, i);
      if (cp.value == U'\\' && i + 1 < m_text.size()) {
        const utf::CodePoint next = utf::DecodeUtf8(m_text, i + 1);
        if (IsEscapable(next.value)) {
          out.push_back({next.value, static_cast<int>(i), true});
          i += 1 + next.size;
          continue;
        }
      }
      if (stop(cp.value)) {
        break;
      }
      out.push_back({cp.value, static_cast<int>(i), false});
      i += cp.size;
    }
    return i;
  }

  size_t LexPhrase(size_t start, int quoteSize) {
    std::vector<RawChar> chars;
    size_t i = ReadChars(start + quoteSize, chars, IsQuote);
    if (i < m_text.size()) {
      i += utf::DecodeUtf8(m_text, i).size;
    } else {
      m_result.warnings.push_back(MakeDiagnostic(Code::kQuoteAutoclosed, Offset(start), 1));
    }
    Token token;
    token.kind = TokenKind::kPhrase;
    token.offset = Offset(start);
    token.length = Offset(i) - token.offset;
    for (size_t k = 0; k < chars.size(); ++k) {
      // Only a `*` right after a word character is a wildcard inside a phrase (a prefix).
      const bool star =
          chars[k].c == U'*' && !chars[k].escaped && k > 0 && IsWordChar(chars[k - 1].c);
      token.units.push_back({chars[k].c, star});
      token.hasLowerCase = token.hasLowerCase || IsLowerCase(chars[k].c);
    }
    m_result.tokens.push_back(std::move(token));
    return i;
  }

  size_t LexChunk(size_t start) {
    std::vector<RawChar> chars;
    const size_t end =
        ReadChars(start, chars, [](char32_t c) { return IsWhiteSpace(c) || IsQuote(c); });
    size_t first = 0;
    while (first < chars.size() && chars[first].c == U'(' && !chars[first].escaped) {
      AddParen(TokenKind::kOpen, chars[first].offset);
      ++first;
    }
    size_t last = chars.size();
    size_t trailing = 0;
    while (last > first + trailing && chars[last - trailing - 1].c == U')' &&
           !chars[last - trailing - 1].escaped) {
      ++trailing;
    }
    // Trailing `)` that balance a `(` inside the word belong to it: sync(), f(x).
    int open = 0;
    for (size_t k = first; k < last - trailing; ++k) {
      if (chars[k].escaped) {
        continue;
      }
      if (chars[k].c == U'(') {
        ++open;
      }
      if (chars[k].c == U')' && open > 0) {
        --open;
      }
    }
    const size_t kept = std::min<size_t>(trailing, open);
    last = last - trailing + kept;
    if (last > first) {
      const size_t wordEnd = last < chars.size() ? chars[last].offset : end;
      AddWord(chars, first, last, chars[first].offset, static_cast<int>(wordEnd));
    }
    for (size_t k = last; k < chars.size(); ++k) {
      AddParen(TokenKind::kClose, chars[k].offset);
    }
    return end;
  }

  void AddParen(TokenKind kind, int offset) {
    Token token;
    token.kind = kind;
    token.offset = offset;
    token.length = 1;
    m_result.tokens.push_back(std::move(token));
  }

  void AddWord(const std::vector<RawChar>& chars, size_t first, size_t last, int begin, int end) {
    Token token;
    token.offset = begin;
    token.length = end - begin;
    token.raw = m_text.substr(begin, end - begin);
    if (AddOperator(token)) {
      return;
    }
    for (size_t k = first; k < last; ++k) {
      const RawChar& ch = chars[k];
      bool wildcard = false;
      if (!ch.escaped && ch.c == U'*') {
        wildcard = true;
      }
      if (!ch.escaped && ch.c == U'?') {
        // A `?` is a wildcard only when a word character follows in the chunk: `colo?r`,
        // but `print?` ends a question.
        for (size_t n = k + 1; n < last && !wildcard; ++n) {
          wildcard = IsWordChar(chars[n].c);
        }
      }
      token.units.push_back({ch.c, wildcard});
      token.hasLowerCase = token.hasLowerCase || IsLowerCase(ch.c);
    }
    m_result.tokens.push_back(std::move(token));
  }

  // `<NAME>` or `<NAME/DIGITS>` standing alone: an operator, an error, or (for names that look
  // like markup or template arguments, such as <b> or <int>) an ordinary word.
  bool AddOperator(Token& token) {
    const std::string_view raw = token.raw;
    if (raw.size() < 3 || raw.front() != '<' || raw.back() != '>') {
      return false;
    }
    const std::string_view body = raw.substr(1, raw.size() - 2);
    size_t nameEnd = 0;
    while (nameEnd < body.size() && std::isalpha(static_cast<unsigned char>(body[nameEnd]))) {
      ++nameEnd;
    }
    if (nameEnd == 0) {
      return false;
    }
    const std::string_view name = body.substr(0, nameEnd);
    std::string upper;
    bool allUpper = true;
    for (char ch : name) {
      allUpper = allUpper && std::isupper(static_cast<unsigned char>(ch));
      upper += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    }
    static constexpr std::pair<std::string_view, Operator> kNames[] = {
        {"AND", Operator::kAnd},           {"OR", Operator::kOr},
        {"NOT", Operator::kNot},           {"NEAR", Operator::kNear},
        {"CONTAINS", Operator::kContains},
    };
    const auto named = std::find_if(std::begin(kNames), std::end(kNames),
                                    [&upper](const auto& entry) { return upper == entry.first; });
    std::optional<long> argument;
    if (nameEnd < body.size()) {
      const std::string_view digits = body.substr(nameEnd + 1);
      const bool number = body[nameEnd] == '/' && !digits.empty() &&
                          std::all_of(digits.begin(), digits.end(), [](char d) {
                            return std::isdigit(static_cast<unsigned char>(d)) != 0;
                          });
      if (!number) {
        // An operator's name with something else after it (`<NEAR/-5>`, `<NEAR/x>`) is a
        // mistyped argument, as much as a number out of range is.
        if (named != std::end(kNames) && body[nameEnd] == '/') {
          Fail(Code::kBadOperatorArgument, token);
          return true;
        }
        return false;
      }
      long value = 0;
      for (char d : digits) {
        value = std::min(value * 10 + (d - '0'), 1000000L);
      }
      argument = value;
    }
    if (named != std::end(kNames)) {
      const Operator op = named->second;
      if (argument && (op != Operator::kNear || *argument > kMaxNearDistance)) {
        Fail(Code::kBadOperatorArgument, token);
        return true;
      }
      token.kind = TokenKind::kOperator;
      token.op = op;
      if (argument) {
        token.distance = static_cast<int>(*argument);
      }
      m_result.tokens.push_back(std::move(token));
      return true;
    }
    if (allUpper && name.size() >= 2) {
      Fail(Code::kUnknownOperator, token, upper == "ADJ" ? "not supported yet" : upper);
      return true;
    }
    return false;
  }

  void Fail(Code code, const Token& token, std::string_view detail = {}) {
    if (!m_result.error) {
      m_result.error = MakeDiagnostic(code, token.offset, token.length, detail);
    }
  }

  int Offset(size_t i) const { return static_cast<int>(i); }

  std::string_view m_text;
  LexResult m_result;
};

}  // namespace

LexResult Lex(std::string_view text) { return Lexer(text).Run(); }

}  // namespace dizode::query
