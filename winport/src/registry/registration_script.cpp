// @brief Reading registration scripts.
#include "winport/src/registry/registration_script.h"

#include <cctype>
#include <cstdlib>

namespace winport::registry {
namespace {

struct Token {
  enum Kind { kWord, kQuoted, kOpen, kClose, kEquals, kEnd } m_kind = kEnd;
  std::string m_text;
  int m_line = 0;
};

struct ScriptFault {
  std::string m_message;
};

class Lexer {
 public:
  Lexer(std::string_view text, const Replacements& replacements)
      : m_text(text), m_replacements(replacements) {}

  Token Next() {
    SkipSpace();
    Token token;
    token.m_line = m_line;
    if (m_at >= m_text.size()) {
      return token;
    }
    const char c = m_text[m_at];
    if ((c == '{' || c == '}') && Standalone()) {
      ++m_at;
      token.m_kind = c == '{' ? Token::kOpen : Token::kClose;
    } else if (c == '=') {
      ++m_at;
      token.m_kind = Token::kEquals;
    } else if (c == '\'') {
      token.m_kind = Token::kQuoted;
      token.m_text = Replace(Quoted(), token.m_line);
    } else {
      token.m_kind = Token::kWord;
      token.m_text = Replace(Word(), token.m_line);
    }
    return token;
  }

 private:
  void SkipSpace() {
    while (m_at < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_at]))) {
      if (m_text[m_at++] == '\n') {
        ++m_line;
      }
    }
  }

  // A brace followed by space, another brace or the end is a block's brace;
  // otherwise it begins a name such as {E47FE2CC-...}.
  bool Standalone() const {
    if (m_at + 1 >= m_text.size()) {
      return true;
    }
    const char next = m_text[m_at + 1];
    return std::isspace(static_cast<unsigned char>(next)) || next == '{' || next == '}';
  }

  std::string Word() {
    const size_t start = m_at;
    const bool braced = m_text[m_at] == '{';
    while (m_at < m_text.size()) {
      const char c = m_text[m_at];
      if (std::isspace(static_cast<unsigned char>(c)) || c == '=' || c == '\'') {
        break;
      }
      if (c == '{' && m_at != start) {
        break;
      }
      ++m_at;
      if (c == '}') {
        if (braced) {
          break;
        }
        --m_at;
        break;
      }
    }
    return std::string(m_text.substr(start, m_at - start));
  }

  std::string Quoted() {
    const int line = m_line;
    std::string text;
    for (++m_at; m_at < m_text.size(); ++m_at) {
      const char c = m_text[m_at];
      if (c == '\'') {
        if (m_at + 1 < m_text.size() && m_text[m_at + 1] == '\'') {
          text.push_back('\'');
          ++m_at;
          continue;
        }
        ++m_at;
        return text;
      }
      if (c == '\n') {
        ++m_line;
      }
      text.push_back(c);
    }
    throw ScriptFault{"line " + std::to_string(line) + ": quoted text without its end"};
  }

  std::string Replace(const std::string& text, int line) const {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] != '%') {
        out.push_back(text[i]);
        continue;
      }
      const size_t end = text.find('%', i + 1);
      if (end == std::string::npos) {
        throw ScriptFault{"line " + std::to_string(line) + ": % without its closing %"};
      }
      const std::string_view name = std::string_view(text).substr(i + 1, end - i - 1);
      i = end;
      if (name.empty()) {
        out.push_back('%');
        continue;
      }
      const std::string* value = nullptr;
      for (const auto& [key, item] : m_replacements) {
        if (SameName(key, name)) {
          value = &item;
        }
      }
      if (!value) {
        throw ScriptFault{"line " + std::to_string(line) + ": no replacement for %" +
                          std::string(name) + "%"};
      }
      out += *value;
    }
    return out;
  }

  std::string_view m_text;
  const Replacements& m_replacements;
  size_t m_at = 0;
  int m_line = 1;
};

class Parser {
 public:
  Parser(std::string_view text, const Replacements& replacements) : m_lexer(text, replacements) {
    Advance();
  }

  std::vector<ScriptRoot> Script() {
    std::vector<ScriptRoot> roots;
    while (m_token.m_kind != Token::kEnd) {
      ScriptRoot root;
      root.m_rootName = RootName();
      Expect(Token::kOpen, "'{' after the root");
      while (m_token.m_kind != Token::kClose) {
        root.m_keys.push_back(KeyEntry(2));
      }
      Advance();
      roots.push_back(std::move(root));
    }
    return roots;
  }

 private:
  [[noreturn]] void Fail(const std::string& message) const {
    throw ScriptFault{"line " + std::to_string(m_token.m_line) + ": " + message};
  }

  void Advance() { m_token = m_lexer.Next(); }

  void Expect(Token::Kind kind, const char* what) {
    if (m_token.m_kind != kind) {
      Fail(std::string("expected ") + what);
    }
    Advance();
  }

  bool IsKeyword(const char* word) const {
    return m_token.m_kind == Token::kWord && SameName(m_token.m_text, word);
  }

  std::string RootName() {
    static const char* const kRoots[][2] = {{"HKCR", "HKEY_CLASSES_ROOT"},
                                            {"HKCU", "HKEY_CURRENT_USER"},
                                            {"HKLM", "HKEY_LOCAL_MACHINE"}};
    for (const auto& root : kRoots) {
      if (IsKeyword(root[0]) || IsKeyword(root[1])) {
        Advance();
        return root[1];
      }
    }
    Fail("expected a root key such as HKCR");
  }

  std::string Name() {
    if (m_token.m_kind != Token::kWord && m_token.m_kind != Token::kQuoted) {
      Fail("expected a name");
    }
    std::string name = m_token.m_text;
    std::vector<std::string> parts;
    if (!SplitPath(name, &parts) || parts.size() != 1) {
      Fail("'" + name + "' is not a key name");
    }
    Advance();
    return name;
  }

  Value ValueAfterEquals() {
    Expect(Token::kEquals, "'='");
    if (IsKeyword("s")) {
      Advance();
      if (m_token.m_kind != Token::kQuoted) {
        Fail("expected quoted text after s");
      }
      Value value = TextValue(m_token.m_text);
      Advance();
      return value;
    }
    if (IsKeyword("d")) {
      Advance();
      if (m_token.m_kind != Token::kQuoted && m_token.m_kind != Token::kWord) {
        Fail("expected a number after d");
      }
      const std::string& text = m_token.m_text;
      char* end = nullptr;
      const unsigned long long n = std::strtoull(text.c_str(), &end, 0);
      if (text.empty() || *end != '\0' || n > 0xFFFFFFFFull || text[0] == '-') {
        Fail("'" + text + "' is not a 32-bit number");
      }
      Advance();
      Value value;
      value.m_type = REG_DWORD;
      value.m_data = {static_cast<BYTE>(n), static_cast<BYTE>(n >> 8), static_cast<BYTE>(n >> 16),
                      static_cast<BYTE>(n >> 24)};
      return value;
    }
    Fail("expected a value type, s or d");
  }

  // depth counts the root as level 1. Keys deeper than the registry holds
  // stop the script here, before the parser's own recursion could exhaust
  // the stack.
  ScriptKey KeyEntry(size_t depth) {
    if (depth > kMaxKeyDepth) {
      Fail("keys nested deeper than " + std::to_string(kMaxKeyDepth) + " levels");
    }
    ScriptKey key;
    while (true) {
      if (IsKeyword("NoRemove")) {
        key.m_noRemove = true;
      } else if (IsKeyword("ForceRemove")) {
        key.m_forceRemove = true;
      } else if (IsKeyword("Delete")) {
        key.m_delete = true;
      } else {
        break;
      }
      Advance();
    }
    key.m_name = Name();
    if (m_token.m_kind == Token::kEquals) {
      key.m_default = ValueAfterEquals();
    }
    if (m_token.m_kind != Token::kOpen) {
      return key;
    }
    Advance();
    while (m_token.m_kind != Token::kClose) {
      if (m_token.m_kind == Token::kEnd) {
        Fail("'{' without its '}'");
      }
      if (IsKeyword("val")) {
        Advance();
        std::string name = Name();
        key.m_values.emplace_back(std::move(name), ValueAfterEquals());
      } else {
        key.m_subkeys.push_back(KeyEntry(depth + 1));
      }
    }
    Advance();
    return key;
  }

  Lexer m_lexer;
  Token m_token;
};

void RegisterKey(const ScriptKey& script, Key& parent) {
  if (script.m_delete) {
    parent.Remove(script.m_name);
    return;
  }
  if (script.m_forceRemove) {
    parent.Remove(script.m_name);
  }
  Key& key = parent.Ensure(script.m_name);
  if (script.m_default) {
    key.m_values[""] = *script.m_default;
  }
  for (const auto& [name, value] : script.m_values) {
    key.m_values[name] = value;
  }
  for (const ScriptKey& subkey : script.m_subkeys) {
    RegisterKey(subkey, key);
  }
}

void UnregisterKey(const ScriptKey& script, Key& parent) {
  Key* key = parent.Find(script.m_name);
  if (!key) {
    return;
  }
  if (!script.m_noRemove) {
    parent.Remove(script.m_name);
    return;
  }
  for (const auto& named : script.m_values) {
    key->m_values.erase(named.first);
  }
  for (const ScriptKey& subkey : script.m_subkeys) {
    UnregisterKey(subkey, *key);
  }
}

}  // namespace

bool ParseRegistrationScript(std::string_view text, const Replacements& replacements,
                             std::vector<ScriptRoot>* roots, std::string* error) {
  try {
    *roots = Parser(text, replacements).Script();
    return true;
  } catch (const ScriptFault& fault) {
    *error = fault.m_message;
    return false;
  }
}

void RegisterScript(const std::vector<ScriptRoot>& roots, Key& top) {
  for (const ScriptRoot& root : roots) {
    Key& rootKey = top.Ensure(root.m_rootName);
    for (const ScriptKey& key : root.m_keys) {
      RegisterKey(key, rootKey);
    }
  }
}

void UnregisterScript(const std::vector<ScriptRoot>& roots, Key& top) {
  for (const ScriptRoot& root : roots) {
    Key* rootKey = top.Find(root.m_rootName);
    if (!rootKey) {
      continue;
    }
    for (const ScriptKey& key : root.m_keys) {
      UnregisterKey(key, *rootKey);
    }
  }
}

}  // namespace winport::registry
