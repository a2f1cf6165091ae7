// @brief JSON answers of the help server.
#include "cli/serve/api_json.h"

#include <algorithm>

#include "cli/json.h"

namespace zvv {
namespace {

// '<' only ever stands inside a JSON string, where \u003c means the same: a
// body that is mistaken for markup then holds no tag that could run.
std::string WithoutMarkup(const std::string& json) {
  std::string out;
  out.reserve(json.size());
  for (char c : json) {
    if (c == '<') {
      out += "\\u003c";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

std::string SearchAnswerJson(const SearchAnswer& answer, std::size_t limit) {
  if (!answer.m_error.empty()) {
    return WithoutMarkup("{\"error\":" + JsonString(answer.m_error) +
                         ",\"column\":" + std::to_string(answer.m_column) + "}");
  }
  const std::size_t shown =
      limit == 0 ? answer.m_hits.size() : std::min(limit, answer.m_hits.size());
  std::string out = "{\"hits\":[";
  for (std::size_t i = 0; i < shown; ++i) {
    if (i > 0) out += ',';
    out += HitToJson(answer.m_hits[i]);
  }
  out += "],\"total\":" + std::to_string(answer.m_hits.size());
  out += ",\"hidden\":" + std::to_string(answer.m_hidden) + "}";
  return WithoutMarkup(out);
}

std::string StatusJson(const IndexStatus& status) {
  std::string out = "{\"pages\":" + std::to_string(status.m_pages);
  out += ",\"updated\":" + std::to_string(status.m_updated);
  out += ",\"folders\":[";
  for (std::size_t i = 0; i < status.m_folders.size(); ++i) {
    if (i > 0) out += ',';
    out += JsonString(status.m_folders[i]);
  }
  out += "],\"home\":" + JsonString(status.m_home) + "}";
  return WithoutMarkup(out);
}

}  // namespace zvv
