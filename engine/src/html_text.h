// @brief Text extraction from one HTML page: title, headings and body, as plain UTF-8.
//
// Bounded whatever the input: at most kMaxInputBytes are read, in one linear pass of the
// tokenizer (html_scanner.h), and at most kMaxTextBytes of text are kept per page.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace dizode {

struct PageText {
  std::string title;    // <title>, else the first <h1>, else the file name without extension
  std::string heads;    // <h1>..<h3> and <meta name="keywords">
  std::string body;     // remaining visible text, alt texts included
  std::string charset;  // the charset the page was decoded from
  std::string lang;     // <html lang>, lower-case, when present
  bool truncated = false;
};

inline constexpr size_t kMaxInputBytes = 32u << 20;
inline constexpr size_t kMaxTextBytes = 4u << 20;

// Extracts the text of a page from its raw bytes. `fileName` supplies the last-resort title.
// Throws only std::bad_alloc.
PageText ExtractHtml(std::string_view bytes, std::string_view fileName);

// The title a page gets when it has none of its own: its file name without extension.
std::string TitleFromFileName(std::string_view fileName);

}  // namespace dizode
