// @brief What a page says of its place among the others and of its own parts, gathered beside
// its text: the links it makes to other pages with their text, and the sections its headings
// open, with the anchor that leads to each.
#pragma once

#include <string>
#include <string_view>

#include "html_scanner.h"
#include "html_text.h"

namespace dizode {

// Fed by the text extractor as it reads the page; writes `page.links` and `page.sections`. The
// offsets it records are the sizes of `page.heads` and `page.body` at the time of the call, so
// it must see a heading's start before the heading's text is appended.
class OutlineCollector {
 public:
  explicit OutlineCollector(PageText& page) : m_page(page) {}

  // A start tag outside hidden content; `heading` for h1 to h6, `headsHeading` for h1 to h3
  // (whose text goes to the headings field).
  void Start(const html::StartTag& tag, bool heading, bool headsHeading);
  // An end tag: of a link, or of a heading.
  void EndLink();
  void EndHeading();
  // Visible text outside the title, as it is appended to the page's fields.
  void Text(std::string_view text);

 private:
  void AppendCapped(std::string& target, std::string_view text, size_t cap);
  void TakeId(const html::StartTag& tag);

  PageText& m_page;
  std::string m_value;
  std::string m_pendingId;  // the last id seen since the last text: where a heading can be reached
  bool m_inLink = false;
  bool m_inHeading = false;
  bool m_headsHeading = false;  // the open heading's text goes to the headings field
};

// The heading as a reader sees it: without the marks that pages put beside headings to link to
// them (a pilcrow, a '#', a section sign), and blanks at its ends.
std::string CleanHeading(std::string_view heading);

}  // namespace dizode
