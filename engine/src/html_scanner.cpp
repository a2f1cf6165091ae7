// @brief The HTML tokenizer: one forward pass, no backtracking beyond the current tag.
#include "html_scanner.h"

#include <cstring>

#include "ascii.h"
#include "html_entities.h"
#include "utf/code_points.h"

namespace dizode::html {
namespace {

constexpr size_t kNotFound = std::string_view::npos;

using ascii::EqualsIgnoringCase;
using ascii::IsDigit;
using ascii::IsLetter;
using ascii::IsSpace;
using ascii::Lower;

// What numeric references to the C1 controls mean on the web: the windows-1252 characters that
// old pages write as &#146; and the like.
constexpr char32_t kC1AsWindows1252[32] = {
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

char32_t NumericValue(char32_t value) {
  if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    return utf::kReplacementCharacter;
  if (value >= 0x80 && value <= 0x9F) return kC1AsWindows1252[value - 0x80];
  return value;
}

// Decodes the reference at text[at] == '&' into `out`; returns the bytes it took, or 0 when
// what follows is no reference (the '&' is then text).
size_t DecodeReference(std::string_view text, size_t at, std::string& out) {
  size_t i = at + 1;
  if (i < text.size() && text[i] == '#') {
    ++i;
    const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (hex) ++i;
    const size_t digitsAt = i;
    char32_t value = 0;
    for (; i < text.size(); ++i) {
      const char c = text[i];
      unsigned digit;
      if (IsDigit(c)) {
        digit = static_cast<unsigned>(c - '0');
      } else if (hex && Lower(c) >= 'a' && Lower(c) <= 'f') {
        digit = static_cast<unsigned>(Lower(c) - 'a' + 10);
      } else {
        break;
      }
      value = value * (hex ? 16 : 10) + digit;
      if (value > 0x10FFFF) value = 0x110000;  // saturates: still out of range
    }
    if (i == digitsAt) return 0;
    if (i < text.size() && text[i] == ';') ++i;
    utf::AppendUtf8(out, NumericValue(value));
    return i - at;
  }
  constexpr size_t kLongestName = 8;  // "thetasym"
  while (i < text.size() && i - at <= kLongestName && (IsLetter(text[i]) || IsDigit(text[i]))) ++i;
  if (i == at + 1 || i >= text.size() || text[i] != ';') return 0;
  const char32_t value = LookUpEntity(text.substr(at + 1, i - at - 1));
  if (value == 0) return 0;
  utf::AppendUtf8(out, value);
  return i + 1 - at;
}

// Sends `text` to the sink with references decoded, in as few runs as the references allow.
void EmitText(std::string_view text, Sink& sink, std::string& scratch) {
  size_t from = 0;
  while (from < text.size()) {
    const void* amp = std::memchr(text.data() + from, '&', text.size() - from);
    const size_t at =
        amp ? static_cast<size_t>(static_cast<const char*>(amp) - text.data()) : text.size();
    if (at == text.size()) break;
    scratch.clear();
    const size_t taken = DecodeReference(text, at, scratch);
    if (taken == 0) {
      sink.Text(text.substr(from, at + 1 - from));
      from = at + 1;
      continue;
    }
    if (at > from) sink.Text(text.substr(from, at - from));
    sink.Text(scratch);
    from = at + taken;
  }
  if (from < text.size()) sink.Text(text.substr(from));
}

enum class Body { kMarkup, kRaw, kEscapable };

// How the body of a start tag named `name` reads: raw text, text with references, or markup.
Body BodyOf(std::string_view name) {
  if (name == "script" || name == "style" || name == "xmp") return Body::kRaw;
  if (name == "title" || name == "textarea") return Body::kEscapable;
  return Body::kMarkup;
}

// Where the end tag `</name` (any case) that closes a raw or escapable body starts, from `from`.
size_t FindEndTag(std::string_view page, size_t from, std::string_view name) {
  for (size_t at = page.find("</", from); at != kNotFound; at = page.find("</", at + 2)) {
    const size_t after = at + 2 + name.size();
    if (after >= page.size()) return kNotFound;
    if (EqualsIgnoringCase(page.substr(at + 2, name.size()), name) &&
        (IsSpace(page[after]) || page[after] == '/' || page[after] == '>'))
      return at;
  }
  return kNotFound;
}

class Scanner {
 public:
  Scanner(std::string_view page, Sink& sink) : m_page(page), m_sink(sink) {}

  void Run() {
    size_t i = 0;
    while (i < m_page.size()) {
      size_t open = m_page.find('<', i);
      if (open == kNotFound) open = m_page.size();
      EmitText(m_page.substr(i, open - i), m_sink, m_scratch);
      if (open == m_page.size()) break;
      i = Markup(open);
    }
  }

 private:
  char At(size_t i) const { return i < m_page.size() ? m_page[i] : '\0'; }

  // Reads the markup at m_page[at] == '<'; returns where text resumes.
  size_t Markup(size_t at) {
    const char next = At(at + 1);
    if (IsLetter(next)) return StartTagAt(at);
    if (next == '/') {
      if (IsLetter(At(at + 2))) return EndTagAt(at);
      return SkipPast('>', at + 2);  // "</>" or a bogus comment
    }
    if (next == '!') {
      if (m_page.compare(at + 2, 2, "--") == 0) {
        // "<!-->" and "<!--->" are whole (empty) comments.
        const size_t body = at + 4;
        if (At(body) == '>') return body + 1;
        if (At(body) == '-' && At(body + 1) == '>') return body + 2;
        const size_t end = m_page.find("-->", body);
        return end == kNotFound ? m_page.size() : end + 3;
      }
      return SkipPast('>', at + 2);  // a declaration, CDATA section or bogus comment
    }
    if (next == '?') return SkipPast('>', at + 2);
    m_sink.Text(m_page.substr(at, 1));
    return at + 1;
  }

  size_t SkipPast(char c, size_t from) const {
    const size_t at = m_page.find(c, from);
    return at == kNotFound ? m_page.size() : at + 1;
  }

  // Reads a tag name from `i` into m_name, lower-cased; returns where it ends.
  size_t ReadName(size_t i) {
    m_name.clear();
    while (i < m_page.size() && !IsSpace(m_page[i]) && m_page[i] != '/' && m_page[i] != '>')
      m_name += Lower(m_page[i++]);
    return i;
  }

  size_t EndTagAt(size_t at) {
    const size_t afterName = ReadName(at + 2);
    const size_t close = m_page.find('>', afterName);
    if (close == kNotFound) return m_page.size();  // cut off by the end of the page
    m_sink.End(m_name);
    return close + 1;
  }

  size_t StartTagAt(size_t at) {
    size_t i = ReadName(at + 1);
    m_tag.attributes.clear();
    m_tag.selfClosing = false;
    for (;;) {
      while (i < m_page.size() && (IsSpace(m_page[i]) || m_page[i] == '/')) ++i;
      if (i >= m_page.size()) return m_page.size();  // cut off by the end of the page
      if (m_page[i] == '>') break;
      const size_t nameAt = i++;  // a first '=' belongs to the name
      while (i < m_page.size() && !IsSpace(m_page[i]) && m_page[i] != '/' && m_page[i] != '>' &&
             m_page[i] != '=')
        ++i;
      AttributeSpan attribute{m_page.substr(nameAt, i - nameAt), {}};
      size_t j = i;
      while (j < m_page.size() && IsSpace(m_page[j])) ++j;
      if (j < m_page.size() && m_page[j] == '=') {
        i = j + 1;
        while (i < m_page.size() && IsSpace(m_page[i])) ++i;
        if (i >= m_page.size()) return m_page.size();
        const char quote = m_page[i];
        size_t valueAt = i, valueEnd;
        if (quote == '"' || quote == '\'') {
          valueAt = i + 1;
          valueEnd = m_page.find(quote, valueAt);
          if (valueEnd == kNotFound) return m_page.size();
          i = valueEnd + 1;
        } else {
          while (i < m_page.size() && !IsSpace(m_page[i]) && m_page[i] != '>') ++i;
          valueEnd = i;
        }
        attribute.value = m_page.substr(valueAt, valueEnd - valueAt);
      }
      if (m_tag.attributes.size() < StartTag::kMaxAttributes) m_tag.attributes.push_back(attribute);
    }
    m_tag.selfClosing = m_page[i - 1] == '/' && i - 1 > at + m_name.size();
    m_tag.name = m_name;
    m_sink.Start(m_tag);
    ++i;
    const Body body = m_tag.selfClosing ? Body::kMarkup : BodyOf(m_name);
    if (body == Body::kMarkup) return i;
    const size_t end = EndOfBody(i);
    if (end == kNotFound) {
      // An unclosed title or textarea reads on as markup, as a few browsers did; an unclosed
      // script or style hides the rest of the page.
      return body == Body::kEscapable ? i : m_page.size();
    }
    const std::string_view content = m_page.substr(i, end - i);
    if (body == Body::kRaw) {
      if (!content.empty()) m_sink.Text(content);
    } else {
      EmitText(content, m_sink, m_scratch);
    }
    return EndTagAt(end);
  }

  // Where the end tag that closes the body of m_name starts, from `from`. An end tag missing
  // from some point on is missing from every later point too: a page of unclosed titles is
  // searched to its end once, not once per title.
  size_t EndOfBody(size_t from) {
    for (const MissingEnd& known : m_missingEnds) {
      if (known.name == m_name && from >= known.from) return kNotFound;
    }
    const size_t end = FindEndTag(m_page, from, m_name);
    if (end == kNotFound) m_missingEnds.push_back({m_name, from});
    return end;
  }

  struct MissingEnd {
    std::string name;
    size_t from;
  };

  std::string_view m_page;
  Sink& m_sink;
  std::vector<MissingEnd> m_missingEnds;
  std::string m_name, m_scratch;
  StartTag m_tag;
};

}  // namespace

void Scan(std::string_view page, Sink& sink) { Scanner(page, sink).Run(); }

bool StartTag::Attribute(std::string_view wanted, std::string& value) const {
  for (const AttributeSpan& attribute : attributes) {
    if (!EqualsIgnoringCase(attribute.name, wanted)) continue;
    value.clear();
    AppendDecoded(attribute.value, value);
    return true;
  }
  return false;
}

void AppendDecoded(std::string_view raw, std::string& out) {
  for (size_t i = 0; i < raw.size();) {
    const size_t amp = raw.find('&', i);
    if (amp == kNotFound) {
      out.append(raw.substr(i));
      break;
    }
    out.append(raw.substr(i, amp - i));
    const size_t taken = DecodeReference(raw, amp, out);
    if (taken == 0) out += '&';
    i = amp + (taken == 0 ? 1 : taken);
  }
}

}  // namespace dizode::html
