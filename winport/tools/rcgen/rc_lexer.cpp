// @brief Tokens and the preprocessor subset of resource scripts.
#include "winport/tools/rcgen/rc_lexer.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace rcgen {
namespace {

constexpr int kMaxDepth = 32;

[[noreturn]] void Fail(const std::string& name, int line, const std::string& message) {
  throw ScriptError{name, line, message};
}

bool IsIdentifierStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsIdentifierChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// A quoted string starting at `text[i]` (the opening quote). Doubled quotes
// stand for one, and the usual backslash escapes are understood.
std::string ReadString(const std::string& text, std::size_t* i, const std::string& name, int line) {
  std::string value;
  std::size_t at = *i + 1;
  for (;;) {
    if (at >= text.size()) Fail(name, line, "unterminated string");
    char c = text[at++];
    if (c == '"') {
      if (at < text.size() && text[at] == '"') {
        value += '"';
        ++at;
        continue;
      }
      break;
    }
    if (c == '\\' && at < text.size()) {
      char escaped = text[at++];
      switch (escaped) {
        case 'n':
          value += '\n';
          break;
        case 'r':
          value += '\r';
          break;
        case 't':
          value += '\t';
          break;
        case 'a':
          value += '\a';
          break;
        case '0':
          value += '\0';
          break;
        case '\\':
          value += '\\';
          break;
        case '"':
          value += '"';
          break;
        default:
          value += '\\';
          value += escaped;
      }
      continue;
    }
    value += c;
  }
  *i = at;
  return value;
}

uint32_t ReadNumber(const std::string& text, std::size_t* i, const std::string& name, int line) {
  std::size_t at = *i;
  int base = 10;
  if (text[at] == '0' && at + 1 < text.size() && (text[at + 1] == 'x' || text[at + 1] == 'X')) {
    base = 16;
    at += 2;
  }
  uint64_t value = 0;
  std::size_t digits = 0;
  for (; at < text.size(); ++at, ++digits) {
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[at])));
    int digit = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                : (base == 16 && c >= 'a' && c <= 'f')      ? c - 'a' + 10
                                                            : -1;
    if (digit < 0) break;
    value = value * base + static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFull) Fail(name, line, "number does not fit in 32 bits");
  }
  if (digits == 0) Fail(name, line, "malformed number");
  while (at < text.size() &&
         (text[at] == 'L' || text[at] == 'l' || text[at] == 'U' || text[at] == 'u')) {
    ++at;
  }
  if (at < text.size() && IsIdentifierChar(text[at])) Fail(name, line, "malformed number");
  *i = at;
  return static_cast<uint32_t>(value);
}

std::string Trim(const std::string& text) {
  std::size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string::npos) return "";
  std::size_t end = text.find_last_not_of(" \t\r");
  return text.substr(begin, end - begin + 1);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::string(1, '\0');  // a NUL text marks a file that cannot be read
  std::ostringstream content;
  content << in.rdbuf();
  std::string text = content.str();
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);  // byte order mark
  return text;
}

}  // namespace

std::string StripComments(const std::string& text) {
  std::string out = text;
  bool inString = false;
  for (std::size_t i = 0; i < out.size(); ++i) {
    char c = out[i];
    if (inString) {
      if (c == '"') inString = false;
      if (c == '\n') inString = false;
      continue;
    }
    if (c == '"') {
      inString = true;
    } else if (c == '/' && i + 1 < out.size() && out[i + 1] == '/') {
      while (i < out.size() && out[i] != '\n') out[i++] = ' ';
    } else if (c == '/' && i + 1 < out.size() && out[i + 1] == '*') {
      out[i] = out[i + 1] = ' ';
      for (i += 2; i < out.size() && !(out[i] == '*' && i + 1 < out.size() && out[i + 1] == '/');
           ++i) {
        if (out[i] != '\n') out[i] = ' ';
      }
      if (i < out.size()) out[i] = out[i + 1] = ' ';
      ++i;
    }
  }
  return out;
}

std::vector<Token> TokenizeLine(const std::string& line, const std::string& name, int lineNumber) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    char c = line[i];
    Token token;
    token.m_file = name;
    token.m_line = lineNumber;
    if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
      continue;
    }
    if (c == '"' || ((c == 'L' || c == 'l') && i + 1 < line.size() && line[i + 1] == '"')) {
      if (c != '"') ++i;
      token.m_kind = Token::kString;
      token.m_text = ReadString(line, &i, name, lineNumber);
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      token.m_kind = Token::kNumber;
      std::size_t start = i;
      token.m_value = ReadNumber(line, &i, name, lineNumber);
      token.m_text = line.substr(start, i - start);
    } else if (IsIdentifierStart(c)) {
      std::size_t start = i;
      while (i < line.size() && IsIdentifierChar(line[i])) ++i;
      token.m_kind = Token::kIdentifier;
      token.m_text = line.substr(start, i - start);
    } else if (std::string("{},|()+-~!").find(c) != std::string::npos) {
      token.m_kind = Token::kPunctuation;
      token.m_text = std::string(1, c);
      ++i;
    } else {
      Fail(name, lineNumber, std::string("unexpected character '") + c + "'");
    }
    tokens.push_back(std::move(token));
  }
  return tokens;
}

std::vector<Token> Lexer::Read(const std::string& path) {
  std::string text = ReadFile(path);
  if (text.size() == 1 && text[0] == '\0') Fail(path, 0, "cannot read the file");
  m_filesRead.push_back(path);
  return ReadText(text, path);
}

std::vector<Token> Lexer::ReadText(const std::string& text, const std::string& name) {
  std::vector<Token> out;
  ReadInto(text, name, 0, &out);
  if (!m_conditions.empty()) Fail(name, 0, "#if without #endif");
  Token end;
  end.m_file = name;
  out.push_back(end);
  return out;
}

bool Lexer::Active() const {
  for (const Condition& condition : m_conditions) {
    if (!condition.m_active) return false;
  }
  return true;
}

void Lexer::ReadInto(const std::string& text, const std::string& name, int depth,
                     std::vector<Token>* out) {
  std::istringstream lines(StripComments(text));
  std::string line;
  int lineNumber = 0;
  while (std::getline(lines, line)) {
    ++lineNumber;
    // A backslash at the end continues a directive on the next line.
    while (!line.empty() && line.back() == '\\' && lines) {
      std::string next;
      std::getline(lines, next);
      ++lineNumber;
      line.pop_back();
      line += next;
    }
    std::string trimmed = Trim(line);
    if (!trimmed.empty() && trimmed[0] == '#') {
      Directive(trimmed, name, lineNumber, depth, out);
      continue;
    }
    if (!Active()) continue;
    for (const Token& token : TokenizeLine(line, name, lineNumber)) Expand(token, 0, out);
  }
}

void Lexer::Expand(const Token& token, int depth, std::vector<Token>* out) {
  auto define = token.m_kind == Token::kIdentifier ? m_defines.find(token.m_text) : m_defines.end();
  if (define == m_defines.end()) {
    out->push_back(token);
    return;
  }
  if (depth > kMaxDepth) Fail(token.m_file, token.m_line, "macro '" + token.m_text + "' recurses");
  for (Token replacement : define->second) {
    replacement.m_file = token.m_file;
    replacement.m_line = token.m_line;
    Expand(replacement, depth + 1, out);
  }
}

void Lexer::Directive(const std::string& line, const std::string& name, int lineNumber, int depth,
                      std::vector<Token>* out) {
  std::string body = Trim(line.substr(1));
  std::size_t split = 0;
  while (split < body.size() && IsIdentifierChar(body[split])) ++split;
  std::string keyword = body.substr(0, split);
  std::string rest = Trim(body.substr(split));

  if (keyword == "ifdef" || keyword == "ifndef") {
    bool defined = m_defines.count(rest) != 0;
    bool active = keyword == "ifdef" ? defined : !defined;
    m_conditions.push_back({active, active});
    return;
  }
  if (keyword == "if" || keyword == "elif") {
    // Only the forms resource headers use: a number, defined(X), !defined(X).
    bool negate = !rest.empty() && rest[0] == '!';
    std::string condition = Trim(negate ? rest.substr(1) : rest);
    bool value = false;
    if (condition.rfind("defined", 0) == 0) {
      std::string macro = condition.substr(7);
      macro.erase(std::remove_if(macro.begin(), macro.end(),
                                 [](char c) { return c == '(' || c == ')' || c == ' '; }),
                  macro.end());
      value = m_defines.count(macro) != 0;
    } else if (!condition.empty() && std::isdigit(static_cast<unsigned char>(condition[0]))) {
      value = std::stoul(condition, nullptr, 0) != 0;
    } else {
      Fail(name, lineNumber, "unsupported #" + keyword + " condition: " + rest);
    }
    value = negate ? !value : value;
    if (keyword == "if") {
      m_conditions.push_back({value, value});
      return;
    }
    if (m_conditions.empty()) Fail(name, lineNumber, "#elif without #if");
    Condition& top = m_conditions.back();
    top.m_active = !top.m_taken && value;
    top.m_taken = top.m_taken || value;
    return;
  }
  if (keyword == "else" || keyword == "endif") {
    if (m_conditions.empty()) Fail(name, lineNumber, "#" + keyword + " without #if");
    if (keyword == "endif") {
      m_conditions.pop_back();
    } else {
      Condition& top = m_conditions.back();
      top.m_active = !top.m_taken;
      top.m_taken = true;
    }
    return;
  }
  if (!Active()) return;

  if (keyword == "define") {
    std::size_t end = 0;
    while (end < rest.size() && IsIdentifierChar(rest[end])) ++end;
    std::string macro = rest.substr(0, end);
    if (macro.empty()) Fail(name, lineNumber, "#define without a name");
    if (end < rest.size() && rest[end] == '(')
      Fail(name, lineNumber, "macros with parameters are not supported");
    m_defines[macro] = TokenizeLine(rest.substr(end), name, lineNumber);
  } else if (keyword == "undef") {
    m_defines.erase(rest);
  } else if (keyword == "include") {
    if (!rest.empty() && rest[0] == '<') return;  // the system's headers
    if (rest.size() < 2 || rest[0] != '"' || rest.back() != '"') {
      Fail(name, lineNumber, "#include needs a quoted file name");
    }
    if (depth >= kMaxDepth) Fail(name, lineNumber, "#include nests too deeply");
    std::filesystem::path included =
        std::filesystem::path(name).parent_path() / rest.substr(1, rest.size() - 2);
    std::string text = ReadFile(included.string());
    if (text.size() == 1 && text[0] == '\0')
      Fail(name, lineNumber, "cannot read " + included.string());
    m_filesRead.push_back(included.string());
    ReadInto(text, included.string(), depth + 1, out);
  } else if (keyword == "pragma" || keyword == "line") {
    // Code pages and line markers change nothing here.
  } else if (keyword == "error") {
    Fail(name, lineNumber, "#error " + rest);
  } else {
    Fail(name, lineNumber, "unsupported directive #" + keyword);
  }
}

}  // namespace rcgen
