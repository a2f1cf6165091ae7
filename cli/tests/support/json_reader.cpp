// @brief A strict reader for flat JSON objects.
#include "cli/tests/support/json_reader.h"

#include <cstdint>

namespace zvv::testing {
namespace {

class Reader {
 public:
  explicit Reader(const std::string& text) : m_text(text) {}

  std::optional<std::map<std::string, JsonValue>> Object() {
    std::map<std::string, JsonValue> members;
    if (!Take('{')) return std::nullopt;
    if (Take('}')) return AtEnd() ? std::optional(members) : std::nullopt;
    do {
      auto key = String();
      if (!key || !Take(':')) return std::nullopt;
      JsonValue value;
      if (Peek() == '"') {
        auto text = String();
        if (!text) return std::nullopt;
        value = {true, *text};
      } else if (auto literal = Literal()) {
        value = {false, *literal};
      } else {
        auto digits = Number();
        if (!digits) return std::nullopt;
        value = {false, *digits};
      }
      if (!members.emplace(*key, value).second) return std::nullopt;
    } while (Take(','));
    if (!Take('}') || !AtEnd()) return std::nullopt;
    return members;
  }

 private:
  char Peek() const { return m_pos < m_text.size() ? m_text[m_pos] : '\0'; }
  bool Take(char c) {
    if (Peek() != c) return false;
    ++m_pos;
    return true;
  }
  bool AtEnd() const { return m_pos == m_text.size(); }

  std::optional<std::string> Literal() {
    for (const std::string word : {"true", "false"}) {
      if (m_text.compare(m_pos, word.size(), word) == 0) {
        m_pos += word.size();
        return word;
      }
    }
    return std::nullopt;
  }

  std::optional<std::string> Number() {
    std::string digits;
    while (Peek() >= '0' && Peek() <= '9') digits += m_text[m_pos++];
    if (digits.empty() || (digits.size() > 1 && digits[0] == '0')) return std::nullopt;
    return digits;
  }

  std::optional<std::string> String() {
    if (!Take('"')) return std::nullopt;
    std::string out;
    while (m_pos < m_text.size()) {
      const char c = m_text[m_pos++];
      if (c == '"') return out;
      if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;  // must be escaped
      if (c != '\\') {
        out += c;
        continue;
      }
      const char e = m_text[m_pos++];
      switch (e) {
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case '/':
          out += '/';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          if (m_pos + 4 > m_text.size()) return std::nullopt;
          const unsigned long code = std::stoul(m_text.substr(m_pos, 4), nullptr, 16);
          m_pos += 4;
          // zvv escapes controls and writes U+FFFD for bytes that are not
          // UTF-8; nothing it escapes needs a surrogate pair.
          if (code >= 0xD800 && code <= 0xDFFF) return std::nullopt;
          if (code < 0x80) {
            out += static_cast<char>(code);
          } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
          } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
          }
          break;
        }
        default:
          return std::nullopt;
      }
    }
    return std::nullopt;
  }

  const std::string& m_text;
  std::size_t m_pos = 0;
};

}  // namespace

std::optional<std::map<std::string, JsonValue>> ParseFlatObject(const std::string& text) {
  return Reader(text).Object();
}

}  // namespace zvv::testing
