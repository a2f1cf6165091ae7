// @brief JSON output of hits.
#include "cli/json.h"

#include <cstdio>

namespace zvv {

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (byte < 0x20 || byte == 0x7f) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  out += '"';
  return out;
}

namespace {

bool IsNumber(const std::string& text) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  // JSON numbers have no leading zeros.
  return text.size() == 1 || text[0] != '0';
}

}  // namespace

std::string HitToJson(const Hit& hit) {
  std::string out = "{\"score\":";
  out += IsNumber(hit.m_score) ? hit.m_score : JsonString(hit.m_score);
  out += ",\"title\":" + JsonString(hit.m_title);
  out += ",\"key\":" + JsonString(hit.m_key);
  out += ",\"path\":" + JsonString(hit.m_path);
  out += '}';
  return out;
}

}  // namespace zvv
