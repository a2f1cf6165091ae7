// @brief HTML text extraction: the fields of a page from the tokenizer's tags and text.
#include "html_text.h"

#include <initializer_list>
#include <string>
#include <utility>

#include "ascii.h"
#include "charset.h"
#include "html_outline.h"
#include "html_scanner.h"

namespace dizode {
namespace {

// What the extractor needs to know of an element, decided once per start or end tag. The names
// come from the tokenizer lower-cased; a switch on the first letter keeps this to a comparison
// or two per tag, where a list of names would be searched for every element of every page.
constexpr unsigned kInline = 1;  // runs inline with its neighbours: no word break at its edges
constexpr unsigned kHidden = 2;  // script, style, template: no visible text
constexpr unsigned kTitle = 4;
constexpr unsigned kHtml = 8;
constexpr unsigned kMeta = 16;
constexpr unsigned kHeading = 32;      // h1 to h3, whose text is heading text
constexpr unsigned kHeading1 = 64;     // h1
constexpr unsigned kAnyHeading = 128;  // h1 to h6

unsigned Classify(std::string_view name) {
  const auto any = [name](std::initializer_list<std::string_view> names) {
    for (std::string_view candidate : names) {
      if (name == candidate) return true;
    }
    return false;
  };
  if (name.empty()) return 0;
  switch (name[0]) {
    case 'a':
      return any({"a", "abbr"}) ? kInline : 0u;
    case 'b':
      return any({"b", "bdi", "bdo", "big"}) ? kInline : 0u;
    case 'c':
      return any({"cite", "code"}) ? kInline : 0u;
    case 'd':
      return any({"data", "dfn"}) ? kInline : 0u;
    case 'e':
      return name == "em" ? kInline : 0u;
    case 'f':
      return name == "font" ? kInline : 0u;
    case 'h':
      if (name.size() == 2 && name[1] >= '1' && name[1] <= '6') {
        if (name[1] > '3') return kAnyHeading;
        return kAnyHeading | kHeading | (name[1] == '1' ? kHeading1 : 0u);
      }
      return name == "html" ? kHtml : 0u;
    case 'i':
      return name.size() == 1 ? kInline : 0u;
    case 'k':
      return name == "kbd" ? kInline : 0u;
    case 'm':
      return name == "mark" ? kInline : (name == "meta" ? kMeta : 0u);
    case 'n':
      return name == "nobr" ? kInline : 0u;
    case 'q':
      return name.size() == 1 ? kInline : 0u;
    case 's':
      if (any({"script", "style"})) return kHidden;
      return any({"s", "samp", "small", "span", "strong", "sub", "sup", "strike"}) ? kInline : 0u;
    case 't':
      if (name == "title") return kTitle;
      if (name == "template") return kHidden;
      return any({"time", "tt"}) ? kInline : 0u;
    case 'u':
      return name.size() == 1 ? kInline : 0u;
    case 'v':
      return name == "var" ? kInline : 0u;
    case 'w':
      return name == "wbr" ? kInline : 0u;
    default:
      return 0;
  }
}

class Collector final : public html::Sink {
 public:
  PageText page;

  Collector() : m_outline(page) {}
  Collector(const Collector&) = delete;
  Collector& operator=(const Collector&) = delete;

  void Start(const html::StartTag& tag) override {
    const unsigned kind = Classify(tag.name);
    if (m_hidden > 0) {
      if ((kind & kHidden) != 0 && !tag.selfClosing) ++m_hidden;
      return;
    }
    if ((kind & kHidden) != 0) {
      if (!tag.selfClosing) m_hidden = 1;
      return;
    }
    m_outline.Start(tag, (kind & kAnyHeading) != 0, (kind & kHeading) != 0);
    if ((kind & kAnyHeading) != 0) {
      // Headings never nest: a new one closes the one before, as browsers read it.
      m_heading = (kind & kHeading) != 0 && !tag.selfClosing;
      m_inFirstH1 = m_heading && (kind & kHeading1) != 0 && m_h1.empty();
    }
    if ((kind & kTitle) != 0) {
      m_inTitle = m_title.empty() && !tag.selfClosing;
    } else if ((kind & kHtml) != 0) {
      if (tag.Attribute("lang", m_value)) page.lang = ascii::Lower(m_value);
    } else if ((kind & kMeta) != 0) {
      std::string content;
      if (tag.Attribute("name", m_value) && ascii::EqualsIgnoringCase(m_value, "keywords") &&
          tag.Attribute("content", content))
        Append(page.heads, content, true);
    }
    if (tag.Attribute("alt", m_value)) Append(page.body, m_value, true);
    if ((kind & kInline) == 0) m_pendingBreak = true;
  }

  void End(std::string_view name) override {
    const unsigned kind = Classify(name);
    if (m_hidden > 0) {
      if ((kind & kHidden) != 0) --m_hidden;
      return;
    }
    if ((kind & kTitle) != 0) m_inTitle = false;
    if ((kind & kAnyHeading) != 0) {
      m_heading = m_inFirstH1 = false;
      m_outline.EndHeading();
    }
    if (name == "a") m_outline.EndLink();
    if ((kind & kInline) == 0) m_pendingBreak = true;
  }

  void Text(std::string_view chunk) override {
    if (m_hidden > 0 || chunk.empty()) return;
    if (m_inTitle) {
      Append(m_title, chunk, false);
      return;
    }
    m_outline.Text(chunk);
    if (m_inFirstH1) {
      bool pending = m_pendingBreak;  // the break belongs to the heading text as well
      Append(m_h1, chunk, false);
      m_pendingBreak = pending;
    }
    Append(m_heading ? page.heads : page.body, chunk, false);
  }

  void Finish(std::string_view fileName) {
    page.title = Trim(!Trim(m_title).empty() ? m_title : m_h1);
    if (page.title.empty()) page.title = TitleFromFileName(fileName);
    page.heads = Trim(std::move(page.heads));
    page.body = Trim(std::move(page.body));
  }

 private:
  // Without blanks at either end; in place, as the body may be megabytes.
  static std::string Trim(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);  // everything when all are blanks (npos + 1 == 0)
    s.erase(0, s.find_first_not_of(' '));
    return s;
  }

  // White space and control characters separate words.
  static bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= ' ' || c == '\x7F'; }

  // Appends with separator runs collapsed to one blank and a blank at element breaks, copying
  // the text between separators whole; stops at the per-page cap, on a character boundary.
  void Append(std::string& target, std::string_view text, bool separate) {
    if (separate) m_pendingBreak = true;
    const size_t used = page.heads.size() + page.body.size() + m_title.size() + m_h1.size();
    size_t room = used < kMaxTextBytes ? kMaxTextBytes - used : 0;
    size_t i = 0;
    while (i < text.size()) {
      const bool space = IsSeparator(text[i]);
      if (space || m_pendingBreak) {
        m_pendingBreak = false;
        if (!target.empty() && target.back() != ' ') {
          if (room == 0) break;
          target += ' ';
          --room;
        }
        if (space) {
          ++i;
          continue;
        }
      }
      size_t end = i;
      while (end < text.size() && !IsSeparator(text[end])) ++end;
      if (end - i > room) {
        size_t take = room;
        while (take > 0 && (static_cast<unsigned char>(text[i + take]) & 0xC0) == 0x80) --take;
        target.append(text.substr(i, take));
        break;
      }
      target.append(text.substr(i, end - i));
      room -= end - i;
      i = end;
    }
    if (i < text.size()) page.truncated = true;
    if (separate) m_pendingBreak = true;
  }

  OutlineCollector m_outline;
  std::string m_title, m_h1, m_value;
  int m_hidden = 0;        // depth inside template elements, or 1 inside script or style
  bool m_heading = false;  // inside h1..h3
  bool m_inTitle = false;
  bool m_inFirstH1 = false;
  bool m_pendingBreak = false;
};

}  // namespace

std::string TitleFromFileName(std::string_view fileName) {
  size_t slash = fileName.find_last_of("/\\");
  if (slash != std::string_view::npos) fileName.remove_prefix(slash + 1);
  size_t dot = fileName.rfind('.');
  if (dot != std::string_view::npos && dot > 0) fileName = fileName.substr(0, dot);
  return std::string(fileName);
}

PageText ExtractHtml(std::string_view bytes, std::string_view fileName) {
  const bool cut = bytes.size() > kMaxInputBytes;
  bytes = bytes.substr(0, kMaxInputBytes);
  const DetectedCharset charset = DetectCharset(bytes);
  const std::string utf8 = DecodeToUtf8(bytes.substr(charset.bomLength), charset.name);

  Collector collector;
  html::Scan(utf8, collector);
  collector.Finish(fileName);
  collector.page.charset = charset.name;
  collector.page.truncated = collector.page.truncated || cut;
  return std::move(collector.page);
}

}  // namespace dizode
