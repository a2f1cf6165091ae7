// @brief Text extraction from one HTML page: title, headings and body, as plain UTF-8.
//
// Bounded whatever the input: at most kMaxInputBytes are read, in one linear pass of the
// tokenizer (html_scanner.h), and at most kMaxTextBytes of text are kept per page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dizode {

// A link to another page: its target as written (references decoded; only targets that can name
// a page of the same folder tree, without a scheme, a host or a leading '/') and its text.
struct PageLink {
  std::string href;
  std::string text;
};

// A part of the page that a heading opens: where its heading lies in `heads` (h1 to h3; an empty
// range for h4 to h6, whose text stays in the body) and where its text starts in `body`, as byte
// offsets; the heading as a reader sees it, and the anchor (an element id) that leads to it. The
// text before the first heading is the page's top, which has no entry.
struct PageSection {
  uint32_t headsBegin = 0;
  uint32_t headsEnd = 0;
  uint32_t bodyBegin = 0;
  std::string heading;
  std::string anchor;
};

struct PageText {
  std::string title;    // <title>, else the first <h1>, else the file name without extension
  std::string heads;    // <h1>..<h3> and <meta name="keywords">
  std::string body;     // remaining visible text, alt texts included
  std::string charset;  // the charset the page was decoded from
  std::string lang;     // <html lang>, lower-case, when present
  std::vector<PageLink> links;        // in page order, at most kMaxLinks
  std::vector<PageSection> sections;  // in page order, at most kMaxSections
  bool truncated = false;
};

inline constexpr size_t kMaxInputBytes = 32u << 20;
inline constexpr size_t kMaxTextBytes = 4u << 20;
inline constexpr size_t kMaxLinks = 4096;
inline constexpr size_t kMaxLinkTextBytes = 120;
inline constexpr size_t kMaxSections = 1024;
inline constexpr size_t kMaxHeadingBytes = 160;
inline constexpr size_t kMaxAnchorBytes = 128;

// Extracts the text of a page from its raw bytes. `fileName` supplies the last-resort title.
// Throws only std::bad_alloc.
PageText ExtractHtml(std::string_view bytes, std::string_view fileName);

// The title a page gets when it has none of its own: its file name without extension.
std::string TitleFromFileName(std::string_view fileName);

}  // namespace dizode
