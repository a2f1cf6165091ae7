// @brief Content types by file extension.
#include "cli/serve/content_type.h"

#include <array>
#include <utility>

namespace zvv {
namespace {

constexpr std::string_view kHtml = "text/html";

constexpr std::array<std::pair<std::string_view, std::string_view>, 17> kTypes = {{
    {"htm", kHtml},
    {"html", kHtml},
    {"css", "text/css"},
    {"js", "text/javascript"},
    {"txt", "text/plain; charset=utf-8"},
    {"json", "application/json"},
    {"xml", "application/xml"},
    {"png", "image/png"},
    {"gif", "image/gif"},
    {"jpg", "image/jpeg"},
    {"jpeg", "image/jpeg"},
    {"svg", "image/svg+xml"},
    {"ico", "image/x-icon"},
    {"webp", "image/webp"},
    {"woff", "font/woff"},
    {"woff2", "font/woff2"},
    {"pdf", "application/pdf"},
}};

bool SameLetters(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != lower[i]) return false;
  }
  return true;
}

}  // namespace

std::string_view ContentTypeFor(std::string_view fileName) {
  const auto dot = fileName.find_last_of('.');
  if (dot == std::string_view::npos) return "application/octet-stream";
  const std::string_view extension = fileName.substr(dot + 1);
  for (const auto& [known, type] : kTypes) {
    if (SameLetters(extension, known)) return type;
  }
  return "application/octet-stream";
}

bool IsHelpPageName(std::string_view fileName) { return ContentTypeFor(fileName) == kHtml; }

}  // namespace zvv
