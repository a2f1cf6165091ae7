// @brief JSON output of hits.
#include "cli/json.h"

#include <cstdio>

#include "cli/visible_text.h"
#include "utf/code_points.h"

namespace zvv {

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (std::size_t pos = 0; pos < text.size();) {
    const utf::CodePoint point = utf::DecodeUtf8(text, pos);
    const auto size = static_cast<std::size_t>(point.size);
    if (!point.valid) {
      // Not UTF-8: a reader would refuse the whole line, so the piece is
      // shown as the replacement character instead.
      out += "\\ufffd";
      pos += size;
      continue;
    }
    const char32_t value = point.value;
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
      out.append(text, pos, size);
    }
    pos += size;
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

std::string EndOfAnswerJson(std::string_view query, bool ok, std::size_t hits, std::size_t shown) {
  std::string out = "{\"end\":true,\"query\":" + JsonString(query);
  if (ok) {
    out += ",\"hits\":" + std::to_string(hits) + ",\"shown\":" + std::to_string(shown);
  } else {
    out += ",\"error\":true";
  }
  return out + '}';
}

}  // namespace zvv
