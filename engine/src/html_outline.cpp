// @brief Links and sections of a page, gathered as its text is extracted.
#include "html_outline.h"

#include <algorithm>

namespace dizode {
namespace {

// A target that can name another page of the same folder tree: relative, without a scheme
// ("http:", "mailto:", "javascript:"), not only a fragment (the page itself), and not rooted
// ("/…", "//host/…"), which would name a place outside the help.
bool NamesNearbyPage(std::string_view href) {
  if (href.empty() || href[0] == '#' || href[0] == '/' || href[0] == '\\' || href[0] == '?')
    return false;
  const size_t stop = href.find_first_of(":/?#");
  return stop == std::string_view::npos || href[stop] != ':';
}

bool IsBlank(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) > ' ') return false;
  }
  return true;
}

}  // namespace

void OutlineCollector::Start(const html::StartTag& tag, bool heading, bool headsHeading) {
  if (heading) {
    // Headings never nest: a new one closes the one before, as browsers read it.
    m_inHeading = false;
    if (m_page.sections.size() < kMaxSections) {
      PageSection section;
      section.headsBegin = section.headsEnd = static_cast<uint32_t>(m_page.heads.size());
      section.bodyBegin = static_cast<uint32_t>(m_page.body.size());
      if (tag.Attribute("id", m_value) && !m_value.empty()) {
        section.anchor = m_value.substr(0, kMaxAnchorBytes);
      } else {
        section.anchor = std::move(m_pendingId);
      }
      m_pendingId.clear();
      m_page.sections.push_back(std::move(section));
      m_inHeading = !tag.selfClosing;
      m_headsHeading = headsHeading;
    }
    return;
  }
  TakeId(tag);
  if (tag.name == "a") {
    m_inLink = false;  // links do not nest either
    if (m_page.links.size() < kMaxLinks && tag.Attribute("href", m_value) &&
        NamesNearbyPage(m_value)) {
      m_page.links.push_back({m_value, {}});
      m_inLink = !tag.selfClosing;
    }
  }
  if (m_inLink && tag.Attribute("alt", m_value)) Text(m_value);
}

void OutlineCollector::TakeId(const html::StartTag& tag) {
  const bool found =
      tag.Attribute("id", m_value) || (tag.name == "a" && tag.Attribute("name", m_value));
  if (!found || m_value.empty()) return;
  if (m_inHeading) {
    PageSection& section = m_page.sections.back();
    if (section.anchor.empty()) section.anchor = m_value.substr(0, kMaxAnchorBytes);
  } else {
    m_pendingId = m_value.substr(0, kMaxAnchorBytes);
  }
}

void OutlineCollector::EndLink() { m_inLink = false; }

void OutlineCollector::EndHeading() {
  if (!m_inHeading) return;
  m_inHeading = false;
  PageSection& section = m_page.sections.back();
  if (m_headsHeading) section.headsEnd = static_cast<uint32_t>(m_page.heads.size());
  section.heading = CleanHeading(section.heading);
}

void OutlineCollector::Text(std::string_view text) {
  if (m_inLink) AppendCapped(m_page.links.back().text, text, kMaxLinkTextBytes);
  if (m_inHeading) {
    AppendCapped(m_page.sections.back().heading, text, kMaxHeadingBytes);
  } else if (!IsBlank(text)) {
    m_pendingId.clear();
  }
}

// Appends with runs of white space and control characters as one blank, whole characters only,
// up to `cap` bytes.
void OutlineCollector::AppendCapped(std::string& target, std::string_view text, size_t cap) {
  size_t i = 0;
  while (i < text.size() && target.size() < cap) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead <= ' ' || lead == 0x7F) {
      if (!target.empty() && target.back() != ' ') target += ' ';
      ++i;
      continue;
    }
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    length = std::min(length, text.size() - i);
    if (target.size() + length > cap) break;
    target.append(text.substr(i, length));
    i += length;
  }
}

std::string CleanHeading(std::string_view heading) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  for (;;) {
    while (!heading.empty() && blank(heading.back())) heading.remove_suffix(1);
    bool cut = false;
    for (std::string_view mark :
         {std::string_view("\xC2\xB6"), std::string_view("\xC2\xA7"), std::string_view("#")}) {
      if (heading.size() >= mark.size() && heading.substr(heading.size() - mark.size()) == mark) {
        heading.remove_suffix(mark.size());
        cut = true;
      }
    }
    if (!cut) break;
  }
  while (!heading.empty() && blank(heading.front())) heading.remove_prefix(1);
  return std::string(heading);
}

}  // namespace dizode
