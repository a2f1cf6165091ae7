// @brief HTML text extraction on the streaming (SAX) HTML parser.
#include "html_text.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <vector>

#include "charset.h"
#include "tag_guard.h"

namespace dizode {
namespace {

constexpr size_t kChunkBytes = 64 * 1024;

// What the extractor needs to know of an element, decided once per start or end tag. The names
// come from the parser lower-cased; a switch on the first letter keeps this to a comparison or
// two per tag, where a list of names would be searched for every element of every page.
constexpr unsigned kInline = 1;  // runs inline with its neighbours: no word break at its edges
constexpr unsigned kHidden = 2;  // script, style, template: no visible text
constexpr unsigned kTitle = 4;
constexpr unsigned kHtml = 8;
constexpr unsigned kMeta = 16;
constexpr unsigned kHeading = 32;   // h1 to h3
constexpr unsigned kHeading1 = 64;  // h1

bool Is(const char* name, const char* candidate) { return std::strcmp(name, candidate) == 0; }

unsigned Classify(const char* name) {
  const auto any = [name](std::initializer_list<const char*> names) {
    for (const char* candidate : names) {
      if (Is(name, candidate)) return true;
    }
    return false;
  };
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
      return Is(name, "em") ? kInline : 0u;
    case 'f':
      return Is(name, "font") ? kInline : 0u;
    case 'h':
      if (name[1] >= '1' && name[1] <= '3' && name[2] == '\0') {
        return name[1] == '1' ? (kHeading | kHeading1) : kHeading;
      }
      return Is(name, "html") ? kHtml : 0u;
    case 'i':
      return name[1] == '\0' ? kInline : 0u;
    case 'k':
      return Is(name, "kbd") ? kInline : 0u;
    case 'm':
      return Is(name, "mark") ? kInline : (Is(name, "meta") ? kMeta : 0u);
    case 'n':
      return Is(name, "nobr") ? kInline : 0u;
    case 'q':
      return name[1] == '\0' ? kInline : 0u;
    case 's':
      if (any({"script", "style"})) return kHidden;
      return any({"s", "samp", "small", "span", "strong", "sub", "sup", "strike"}) ? kInline : 0u;
    case 't':
      if (Is(name, "title")) return kTitle;
      if (Is(name, "template")) return kHidden;
      return any({"time", "tt"}) ? kInline : 0u;
    case 'u':
      return name[1] == '\0' ? kInline : 0u;
    case 'v':
      return Is(name, "var") ? kInline : 0u;
    case 'w':
      return Is(name, "wbr") ? kInline : 0u;
    default:
      return 0;
  }
}

const char* Attribute(const xmlChar** attrs, const char* wanted) {
  if (!attrs) return nullptr;
  for (size_t i = 0; attrs[i]; i += 2) {
    if (xmlStrcasecmp(attrs[i], reinterpret_cast<const xmlChar*>(wanted)) == 0)
      return attrs[i + 1] ? reinterpret_cast<const char*>(attrs[i + 1]) : "";
  }
  return nullptr;
}

class Collector {
 public:
  PageText page;

  // The parser reports an end for every element it opens, implicit closes included, so the
  // nesting counters below stay balanced on malformed pages too.
  void Start(const char* name, const xmlChar** attrs) {
    const unsigned tag = Classify(name);
    if (m_hidden > 0 || (tag & kHidden) != 0) {
      ++m_hidden;
      return;
    }
    if (m_heading > 0) {
      ++m_heading;
    } else if ((tag & kHeading) != 0) {
      m_heading = 1;
      m_inFirstH1 = (tag & kHeading1) != 0 && m_h1.empty();
    }
    if ((tag & kTitle) != 0) {
      m_inTitle = m_title.empty();
    } else if ((tag & kHtml) != 0) {
      if (const char* lang = Attribute(attrs, "lang")) page.lang = Lower(lang);
    } else if ((tag & kMeta) != 0) {
      const char* metaName = Attribute(attrs, "name");
      const char* content = Attribute(attrs, "content");
      if (metaName && content &&
          xmlStrcasecmp(reinterpret_cast<const xmlChar*>(metaName), BAD_CAST "keywords") == 0)
        Append(page.heads, content, true);
    }
    if (const char* alt = Attribute(attrs, "alt")) Append(page.body, alt, true);
    if ((tag & kInline) == 0) m_pendingBreak = true;
  }

  void End(const char* name) {
    if (m_hidden > 0) {
      --m_hidden;
      return;
    }
    m_inTitle = false;
    if (m_heading > 0 && --m_heading == 0) m_inFirstH1 = false;
    if ((Classify(name) & kInline) == 0) m_pendingBreak = true;
  }

  void Text(const char* text, int length) {
    if (m_hidden > 0 || length <= 0) return;
    std::string_view chunk(text, static_cast<size_t>(length));
    if (m_inTitle) {
      Append(m_title, chunk, false);
      return;
    }
    if (m_inFirstH1) {
      bool pending = m_pendingBreak;  // the break belongs to the heading text as well
      Append(m_h1, chunk, false);
      m_pendingBreak = pending;
    }
    Append(m_heading > 0 ? page.heads : page.body, chunk, false);
  }

  void Finish(std::string_view fileName) {
    page.title = Trim(!Trim(m_title).empty() ? m_title : m_h1);
    if (page.title.empty()) page.title = TitleFromFileName(fileName);
    page.heads = Trim(page.heads);
    page.body = Trim(page.body);
  }

 private:
  static std::string Lower(const char* s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return out;
  }

  static std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
  }

  // Appends with whitespace runs collapsed to one blank and a blank at element breaks; stops
  // at the per-page text cap.
  void Append(std::string& target, std::string_view text, bool separate) {
    if (separate) m_pendingBreak = true;
    size_t used = page.heads.size() + page.body.size() + m_title.size() + m_h1.size();
    size_t room = used < kMaxTextBytes ? kMaxTextBytes - used : 0;
    for (char c : text) {
      bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
      if (space || m_pendingBreak) {
        m_pendingBreak = false;
        if (!target.empty() && target.back() != ' ') {
          if (room == 0) break;
          target += ' ';
          --room;
        }
        if (space) continue;
      }
      if (room == 0) break;
      target += c;
      --room;
    }
    if (room == 0 && !text.empty()) page.truncated = true;
    if (separate) m_pendingBreak = true;
  }

  std::string m_title, m_h1;
  int m_hidden = 0;   // depth inside script, style or template
  int m_heading = 0;  // depth inside h1..h3
  bool m_inTitle = false;
  bool m_inFirstH1 = false;
  bool m_pendingBreak = false;
};

Collector& Of(void* ctx) { return *static_cast<Collector*>(ctx); }

void OnStart(void* ctx, const xmlChar* name, const xmlChar** attrs) {
  Of(ctx).Start(reinterpret_cast<const char*>(name), attrs);
}
void OnEnd(void* ctx, const xmlChar* name) { Of(ctx).End(reinterpret_cast<const char*>(name)); }
void OnText(void* ctx, const xmlChar* text, int length) {
  Of(ctx).Text(reinterpret_cast<const char*>(text), length);
}

struct ParserDeleter {
  void operator()(htmlParserCtxtPtr ctxt) const {
    if (ctxt->myDoc) xmlFreeDoc(ctxt->myDoc);
    htmlFreeParserCtxt(ctxt);
  }
};

// Removes </body> and </html> end tags. The streaming parser stops reading at the end of the
// document, while browsers show whatever follows those tags as part of the body (pages edited
// by appending are common); without the tags the parser keeps going as browsers do.
void DropDocumentEndTags(std::string& html) {
  size_t out = 0, in = 0;
  for (size_t at = html.find("</"); at != std::string::npos; at = html.find("</", at + 2)) {
    size_t end = at + 2;
    std::string name;
    while (end < html.size() && name.size() < 5 &&
           std::isalpha(static_cast<unsigned char>(html[end])))
      name += static_cast<char>(std::tolower(static_cast<unsigned char>(html[end++])));
    while (end < html.size() && std::isspace(static_cast<unsigned char>(html[end]))) ++end;
    if ((name != "body" && name != "html") || end >= html.size() || html[end] != '>') continue;
    // Blocks before `in` are final; moving the kept block down never touches what is searched.
    std::memmove(html.data() + out, html.data() + in, at - in);
    out += at - in;
    in = end + 1;
    at = end - 1;
  }
  std::memmove(html.data() + out, html.data() + in, html.size() - in);
  html.resize(out + (html.size() - in));
}

}  // namespace

std::string TitleFromFileName(std::string_view fileName) {
  size_t slash = fileName.find_last_of("/\\");
  if (slash != std::string_view::npos) fileName.remove_prefix(slash + 1);
  size_t dot = fileName.rfind('.');
  if (dot != std::string_view::npos && dot > 0) fileName = fileName.substr(0, dot);
  return std::string(fileName);
}

PageText ExtractHtml(std::string_view bytes, std::string_view fileName) {
  // The parser's global tables must be set up once before threads parse concurrently.
  static const bool kParserReady = (xmlInitParser(), true);
  (void)kParserReady;
  bool cut = bytes.size() > kMaxInputBytes;
  bytes = bytes.substr(0, kMaxInputBytes);
  DetectedCharset charset = DetectCharset(bytes);
  std::string utf8 = DecodeToUtf8(bytes.substr(charset.bomLength), charset.name);
  DropDocumentEndTags(utf8);

  htmlSAXHandler sax;
  std::memset(&sax, 0, sizeof sax);
  sax.startElement = OnStart;
  sax.endElement = OnEnd;
  sax.characters = OnText;
  // Script and style bodies come through `characters` too; the collector drops them.

  Collector collector;
  std::unique_ptr<htmlParserCtxt, ParserDeleter> parser(
      htmlCreatePushParserCtxt(&sax, &collector, nullptr, 0, nullptr, XML_CHAR_ENCODING_UTF8));
  if (!parser) throw std::bad_alloc();
  htmlCtxtUseOptions(parser.get(), HTML_PARSE_NONET | HTML_PARSE_RECOVER | HTML_PARSE_NOERROR |
                                       HTML_PARSE_NOWARNING | HTML_PARSE_IGNORE_ENC);

  TagGuard guard;
  std::string filtered;
  for (size_t at = 0; at < utf8.size(); at += kChunkBytes) {
    filtered.clear();
    guard.Filter(std::string_view(utf8).substr(at, kChunkBytes), filtered);
    htmlParseChunk(parser.get(), filtered.data(), static_cast<int>(filtered.size()), 0);
    if (parser->disableSAX) break;  // the parser gave up on the page; keep what it found
  }
  htmlParseChunk(parser.get(), nullptr, 0, 1);

  collector.Finish(fileName);
  collector.page.charset = charset.name;
  collector.page.truncated = collector.page.truncated || cut;
  return std::move(collector.page);
}

}  // namespace dizode
