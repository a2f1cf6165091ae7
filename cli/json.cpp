// @brief JSON output of hits.
#include "cli/json.h"

#include <cstdio>

#include "cli/utf8.h"

namespace zvv {

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (std::size_t pos = 0; pos < text.size();) {
    const CodePoint point = DecodeUtf8At(text, pos);
    if (point.m_length == 0) {
      // Not UTF-8: a reader would refuse the whole line, so the byte is
      // shown as the replacement character instead.
      out += "\\ufffd";
      ++pos;
      continue;
    }
    const char32_t value = point.m_value;
    if (value == '"') {
      out += "\\\"";
    } else if (value == '\\') {
      out += "\\\\";
    } else if (value == '\n') {
      out += "\\n";
    } else if (value == '\r') {
      out += "\\r";
    } else if (value == '\t') {
      out += "\\t";
    } else if (IsControl(value)) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(value));
      out += escaped;
    } else {
      out.append(text, pos, point.m_length);
    }
    pos += point.m_length;
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
