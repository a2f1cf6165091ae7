// @brief Charset sniffing and decoding to UTF-8 (own UTF-8/UTF-16/windows-1252 code, the
// system's converters for the other charsets).
#include "charset.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <vector>

#include "ascii.h"
#include "charset_convert.h"
#include "charset_detect.h"
#include "utf/code_points.h"

namespace dizode {
namespace {

constexpr size_t kDeclarationWindow = 1024;

// windows-1252 bytes 0x80..0x9F; the five undefined ones map to their C1 code points as
// browsers do.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendCodePoint(std::string& out, uint32_t cp) {
  // A stray NUL is read as U+FFFD, as browsers read it. Other controls than tab, line feed and
  // carriage return would make the parser stop or complain; they carry no text, so they become
  // blanks.
  if (cp == 0) {
    cp = utf::kReplacementCharacter;
  } else if ((cp < 0x20 && cp != '\t' && cp != '\n' && cp != '\r') || cp == 0x7F) {
    cp = ' ';
  }
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  utf::AppendUtf8(out, cp);
}

// Printable ASCII and the three kept controls pass through unchanged.
bool IsPlainAscii(unsigned char c) {
  return (c >= 0x20 && c < 0x7F) || c == '\t' || c == '\n' || c == '\r';
}

std::string DecodeUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    // Most of a page is ASCII: copy such runs whole.
    size_t run = i;
    while (run < s.size() && IsPlainAscii(static_cast<unsigned char>(s[run]))) ++run;
    if (run > i) {
      out.append(s.data() + i, run - i);
      i = run;
      continue;
    }
    const utf::CodePoint cp = utf::DecodeUtf8(s, i);  // U+FFFD for each malformed piece
    AppendCodePoint(out, cp.value);
    i += static_cast<size_t>(cp.size);
  }
  return out;
}

std::string DecodeCp1252(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 8);
  for (unsigned char c : s) {
    AppendCodePoint(out, c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c);
  }
  return out;
}

std::string DecodeUtf32(std::string_view s, bool bigEndian) {
  std::string out;
  out.reserve(s.size() / 2);
  for (size_t i = 0; i + 4 <= s.size(); i += 4) {
    uint32_t cp = 0;
    for (size_t k = 0; k < 4; ++k) {
      const auto byte = static_cast<uint8_t>(s[i + (bigEndian ? k : 3 - k)]);
      cp = cp << 8 | byte;
    }
    AppendCodePoint(out, cp);  // beyond U+10FFFF and surrogates become U+FFFD
  }
  if (s.size() % 4 != 0) AppendCodePoint(out, utf::kReplacementCharacter);
  return out;
}

std::string DecodeUtf16(std::string_view s, bool bigEndian) {
  std::u16string units(s.size() / 2, u'\0');
  for (size_t k = 0; k < units.size(); ++k) {
    auto a = static_cast<uint8_t>(s[2 * k]), b = static_cast<uint8_t>(s[2 * k + 1]);
    units[k] = static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
  }
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < units.size();) {
    const utf::CodePoint cp = utf::DecodeUtf16(units, i);  // U+FFFD for a lone surrogate
    AppendCodePoint(out, cp.value);
    i += static_cast<size_t>(cp.size);
  }
  if (s.size() % 2 != 0) AppendCodePoint(out, utf::kReplacementCharacter);
  return out;
}

using ascii::Lower;

bool IsLabelChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' ||
         c == ':';
}

// The value after "charset" (or "encoding") in `text` at `pos`: optional blanks, '=', optional
// quote, then a label.
std::string LabelAfter(std::string_view text, size_t pos) {
  while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
  if (pos >= text.size() || text[pos] != '=') return {};
  ++pos;
  while (pos < text.size() && (std::isspace(static_cast<unsigned char>(text[pos])) ||
                               text[pos] == '"' || text[pos] == '\''))
    ++pos;
  size_t end = pos;
  while (end < text.size() && IsLabelChar(text[end])) ++end;
  return Lower(text.substr(pos, end - pos));
}

// Every charset the head declares, in order of authority: each <meta> that names one, then the
// XML declaration, which only counts at the very start.
std::vector<std::string> DeclaredCharsets(std::string_view head) {
  std::vector<std::string> labels;
  std::string lower = Lower(head);
  for (size_t at = lower.find("<meta"); at != std::string::npos; at = lower.find("<meta", at + 5)) {
    size_t end = lower.find('>', at);
    std::string_view tag =
        std::string_view(lower).substr(at, end == std::string::npos ? std::string::npos : end - at);
    size_t key = tag.find("charset");
    if (key == std::string_view::npos) continue;
    std::string label = LabelAfter(tag, key + 7);
    if (!label.empty()) labels.push_back(std::move(label));
  }
  if (head.substr(0, 5) == "<?xml") {
    std::string_view decl = head.substr(0, head.find("?>"));
    size_t key = decl.find("encoding");
    if (key != std::string_view::npos) {
      std::string label = LabelAfter(decl, key + 8);
      if (!label.empty()) labels.push_back(std::move(label));
    }
  }
  return labels;
}

std::string Canonical(const std::string& label) {
  // Browsers read these Latin-1 family labels as windows-1252, and so do we.
  static const char* const kCp1252Aliases[] = {"iso-8859-1",   "iso8859-1", "latin1", "l1",
                                               "us-ascii",     "ascii",     "cp1252", "x-cp1252",
                                               "windows-1252", "iso_8859-1"};
  for (const char* alias : kCp1252Aliases)
    if (label == alias) return "windows-1252";
  if (label == "utf8" || label == "unicode-1-1-utf-8") return "utf-8";
  return label;
}

// True when `charset` can be decoded here and leaves ASCII markup as it is. A declaration is
// found by reading the page's bytes as ASCII, so a charset in which those bytes mean something
// else (UTF-16, UTF-32, UTF-7, EBCDIC code pages) contradicts the very text that names it: the
// label is a leftover of a tool that re-encoded the page. The probe holds letters, digits and
// the punctuation of tags, entities and addresses, but not backslash and tilde, which some
// ASCII-based Japanese charsets read as yen and overline.
bool ReadsAsciiAsAscii(const std::string& charset) {
  if (charset == "utf-8" || charset == "windows-1252") return true;
  static constexpr std::string_view kProbe =
      "<!DOCTYPE html><html lang=\"en\"><meta charset='x'><a href=\"b/c.htm?d=e;f:g,h+i_j#k\">"
      "(&#38;*%)</a>\t\r\nABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789";
  const std::optional<std::string> decoded = ConvertToUtf8(kProbe, charset);
  return decoded && *decoded == kProbe;
}

// The UTF-16 or UTF-32 layout that a page without a byte-order mark gives away by its zero
// bytes: markup is ASCII, and in these encodings each ASCII character carries zero bytes at fixed
// places, where text in any other encoding has none. Empty when the bytes show no such layout.
std::string UnicodeLayout(std::string_view bytes) {
  const std::string_view sample =
      bytes.substr(0, std::min(bytes.size(), kDeclarationWindow) & ~size_t{3});
  const size_t quads = sample.size() / 4;
  if (quads < 4) return {};
  size_t zeros[4] = {};  // zero bytes at each place of a group of four
  for (size_t i = 0; i < sample.size(); ++i) zeros[i % 4] += sample[i] == '\0' ? 1 : 0;
  // UTF-32: the top byte of every character is zero, and so is the next one of most.
  if (zeros[3] == quads && zeros[2] * 2 >= quads && zeros[0] * 2 < quads) return "utf-32le";
  if (zeros[0] == quads && zeros[1] * 2 >= quads && zeros[3] * 2 < quads) return "utf-32be";
  // UTF-16: the high byte of the ASCII characters is zero; the low byte of almost none is.
  const size_t odd = zeros[1] + zeros[3];
  const size_t even = zeros[0] + zeros[2];
  const size_t units = quads * 2;
  if (odd * 4 >= units && even * 8 < odd) return "utf-16le";
  if (even * 4 >= units && odd * 8 < even) return "utf-16be";
  return {};
}

}  // namespace

bool LooksBinary(std::string_view bytes) {
  if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF" ||
      !UnicodeLayout(bytes).empty()) {
    return false;
  }
  const std::string_view sample = bytes.substr(0, kDeclarationWindow);
  // Binary formats hold zero bytes in runs (the high bytes of their numbers); a text may hold a
  // stray one, which is read as U+FFFD.
  if (sample.find(std::string_view("\0\0", 2)) != std::string_view::npos) return true;
  size_t controls = 0;
  for (char c : sample) {
    const auto byte = static_cast<unsigned char>(c);
    // Tab, line and page ends, and the escape that some Japanese charsets switch with.
    const bool textControl =
        byte == '\t' || byte == '\n' || byte == '\f' || byte == '\r' || byte == 0x1B;
    controls += byte < 0x20 && !textControl ? 1 : 0;
  }
  constexpr size_t kStrayControls = 4;
  return controls > kStrayControls && controls * 16 > sample.size();
}

bool IsValidUtf8(std::string_view bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const utf::CodePoint cp = utf::DecodeUtf8(bytes, i);
    if (!cp.valid) return false;
    i += static_cast<size_t>(cp.size);
  }
  return true;
}

DetectedCharset DetectCharset(std::string_view bytes) {
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return {"utf-8", 3};
  // The UTF-32 marks begin like the UTF-16 little-endian one, so they are looked for first.
  if (bytes.substr(0, 4) == std::string_view("\xFF\xFE\0\0", 4)) return {"utf-32le", 4};
  if (bytes.substr(0, 4) == std::string_view("\0\0\xFE\xFF", 4)) return {"utf-32be", 4};
  if (bytes.substr(0, 2) == "\xFF\xFE") return {"utf-16le", 2};
  if (bytes.substr(0, 2) == "\xFE\xFF") return {"utf-16be", 2};
  if (std::string layout = UnicodeLayout(bytes); !layout.empty()) return {layout, 0};
  // A declaration the system cannot decode, or one that would garble the ASCII it is written
  // in, is no evidence at all: the next one, or the bytes themselves, decide instead.
  for (const std::string& declared : DeclaredCharsets(bytes.substr(0, kDeclarationWindow))) {
    std::string charset = Canonical(declared);
    if (ReadsAsciiAsAscii(charset)) return {charset, 0};
  }
  // Text in any other charset is almost never valid UTF-8, so validity is proof enough.
  if (IsValidUtf8(bytes)) return {"utf-8", 0};
  std::string guessed = Canonical(Lower(GuessCharset(bytes)));
  if (!guessed.empty() && ReadsAsciiAsAscii(guessed)) return {guessed, 0};
  return {"windows-1252", 0};
}

std::string DecodeToUtf8(std::string_view bytes, const std::string& charset) {
  if (charset == "utf-8") return DecodeUtf8(bytes);
  if (charset == "windows-1252") return DecodeCp1252(bytes);
  if (charset == "utf-16le") return DecodeUtf16(bytes, false);
  if (charset == "utf-16be") return DecodeUtf16(bytes, true);
  if (charset == "utf-32le") return DecodeUtf32(bytes, false);
  if (charset == "utf-32be") return DecodeUtf32(bytes, true);
  // The converter's output is UTF-8; decoding it again maps the control characters.
  if (std::optional<std::string> converted = ConvertToUtf8(bytes, charset))
    return DecodeUtf8(*converted);
  return IsValidUtf8(bytes) ? DecodeUtf8(bytes) : DecodeCp1252(bytes);
}

}  // namespace dizode
