// @brief Attribute cap for start tags, applied to the byte stream before parsing.
#include "tag_guard.h"

#include <cctype>
#include <cstring>

namespace dizode {
namespace {
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
}  // namespace

void TagGuard::Filter(std::string_view in, std::string& out) {
  out.reserve(out.size() + in.size());
  size_t kept = 0;  // start of the bytes not yet copied to `out`
  for (size_t i = 0; i < in.size(); ++i) {
    if (m_state == State::kText) {
      // Text runs to the next '<' untouched.
      const void* open = std::memchr(in.data() + i, '<', in.size() - i);
      if (!open) break;
      i = static_cast<const char*>(open) - in.data();
    }
    char c = in[i];
    switch (m_state) {
      case State::kText:
        m_state = State::kTagOpen;
        m_attributes = 0;
        break;
      case State::kTagOpen:
        m_state = std::isalpha(static_cast<unsigned char>(c)) ? State::kTagName : State::kText;
        if (c == '<') m_state = State::kTagOpen;
        break;
      case State::kTagName:
        if (c == '>')
          m_state = State::kText;
        else if (IsSpace(c) || c == '/')
          m_state = State::kInTag;
        break;
      case State::kInTag:
        if (c == '>') {
          m_state = State::kText;
        } else if (c == '"' || c == '\'') {
          m_quote = c;
          m_state = State::kQuoted;
        } else if (!IsSpace(c) && c != '/' && c != '=') {
          ++m_attributes;
          m_state = State::kAttrName;
        }
        break;
      case State::kAttrName:
        if (c == '>')
          m_state = State::kText;
        else if (IsSpace(c) || c == '/')
          m_state = State::kInTag;
        else if (c == '=')
          m_state = State::kUnquoted;
        break;
      case State::kUnquoted:
        if (c == '>') {
          m_state = State::kText;
        } else if (c == '"' || c == '\'') {
          m_quote = c;
          m_state = State::kQuoted;
        } else if (IsSpace(c)) {
          m_state = State::kInTag;
        }
        break;
      case State::kQuoted:
        if (c == m_quote) m_state = State::kInTag;
        break;
    }
    // Everything of a tag past its last allowed attribute is dropped, except the '>' that
    // ends it.
    if (m_attributes > kMaxAttributes && m_state != State::kText) {
      out.append(in.data() + kept, i - kept);
      kept = i + 1;
    }
  }
  out.append(in.data() + kept, in.size() - kept);
}

}  // namespace dizode
