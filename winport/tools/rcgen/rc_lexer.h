// @brief Reading a resource script into tokens: comments removed, the
// preprocessor's #include, #define, #undef and conditionals applied, and
// macros expanded.
//
// #include "file" is read relative to the including file; #include <file>
// (the system's headers) is skipped, since the generator knows the system's
// constants itself.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "winport/tools/rcgen/rc_model.h"

namespace rcgen {

struct Token {
  enum Kind { kIdentifier, kNumber, kString, kPunctuation, kEnd };
  Kind m_kind = kEnd;
  std::string m_text;  // identifier, punctuation, or the string's decoded value
  uint32_t m_value = 0;
  std::string m_file;
  int m_line = 0;
};

class Lexer {
 public:
  // Throws ScriptError.
  std::vector<Token> Read(const std::string& path);
  // Tokens of a text held in memory, `name` standing for its file.
  std::vector<Token> ReadText(const std::string& text, const std::string& name);

  const std::vector<std::string>& FilesRead() const { return m_filesRead; }

 private:
  void ReadInto(const std::string& text, const std::string& name, int depth,
                std::vector<Token>* out);
  void Directive(const std::string& line, const std::string& name, int lineNumber, int depth,
                 std::vector<Token>* out);
  void Expand(const Token& token, int depth, std::vector<Token>* out);
  bool Active() const;

  std::map<std::string, std::vector<Token>> m_defines;
  struct Condition {
    bool m_active;
    bool m_taken;
  };
  std::vector<Condition> m_conditions;
  std::vector<std::string> m_filesRead;
};

// Splits one line into tokens (no preprocessing). Throws ScriptError.
std::vector<Token> TokenizeLine(const std::string& line, const std::string& name, int lineNumber);

// The text with comments replaced by blanks, line breaks kept.
std::string StripComments(const std::string& text);

}  // namespace rcgen
