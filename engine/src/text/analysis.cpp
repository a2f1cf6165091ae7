#include "text/analysis.h"

#include <utf8proc.h>

#include "text/normalize.h"
#include "utf/code_points.h"

namespace dizode::text {
namespace {

bool IsNoSpaceScript(char32_t c) {
  return (c >= 0x0E00 && c <= 0x0EFF) ||  // Thai, Lao
         (c >= 0x1000 && c <= 0x109F) ||  // Myanmar
         (c >= 0x1100 && c <= 0x11FF) ||  // Hangul Jamo
         (c >= 0x1780 && c <= 0x17FF) ||  // Khmer
         (c >= 0x19E0 && c <= 0x19FF) ||  // Khmer symbols
         (c >= 0x2E80 && c <= 0x2FDF) ||  // CJK radicals
         (c >= 0x3005 && c <= 0x3007) ||  // iteration mark, closing mark, ideographic zero
         (c >= 0x3021 && c <= 0x3029) ||  // Hangzhou numerals
         (c >= 0x3031 && c <= 0x3035) ||  // kana repeat marks
         (c >= 0x3040 && c <= 0x30FF) ||  // Hiragana, Katakana
         (c >= 0x3130 && c <= 0x318F) ||  // Hangul compatibility Jamo
         (c >= 0x31F0 && c <= 0x31FF) ||  // Katakana extensions
         (c >= 0x3400 && c <= 0x4DBF) ||  // CJK extension A
         (c >= 0x4E00 && c <= 0x9FFF) ||  // CJK unified ideographs
         (c >= 0xA960 && c <= 0xA97F) ||  // Hangul Jamo extended A
         (c >= 0xAC00 && c <= 0xD7FF) ||  // Hangul syllables, Jamo extended B
         (c >= 0xF900 && c <= 0xFAFF) ||  // CJK compatibility ideographs
         (c >= 0xFF66 && c <= 0xFFDC) ||  // half-width Katakana and Hangul
         (c >= 0x20000 && c <= 0x3FFFF);  // CJK extensions B and beyond
}

}  // namespace

CharClass ClassOf(char32_t c) {
  if (c < 0x80) {
    const bool word = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z');
    return word ? CharClass::kWord : CharClass::kSeparator;
  }
  const utf8proc_category_t category = utf8proc_category(static_cast<utf8proc_int32_t>(c));
  if (category < UTF8PROC_CATEGORY_LU || category > UTF8PROC_CATEGORY_NO) {
    return CharClass::kSeparator;
  }
  return IsNoSpaceScript(c) ? CharClass::kGram : CharClass::kWord;
}

bool IsJoiningGlue(char32_t c) { return c == '-' || c == '\'' || c == 0x2010 || c == 0x2019; }

bool IsKeepingGlue(char32_t c) {
  switch (c) {
    case '.':
    case ':':
    case '/':
    case '\\':
    case '@':
    case '_':
    case '#':
    case '+':
    case '&':
      return true;
    default:
      return false;
  }
}

void Analysis::Run(std::string_view utf8) {
  m_units.clear();
  m_units.reserve(utf8.size());
  bool afterFoldable = false;
  char32_t buffer[kMaxExpansion];
  for (size_t i = 0; i < utf8.size();) {
    const auto begin = static_cast<uint32_t>(i);
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x80) {  // the common case, without a table lookup
      const char32_t c = byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte;
      const CharClass cls = ClassOf(c);
      m_units.push_back({c, begin, begin + 1, cls});
      afterFoldable = cls == CharClass::kWord && c >= 'a';
      ++i;
      continue;
    }
    const utf::CodePoint cp = utf::DecodeUtf8(utf8, i);
    i += cp.size;
    const int n = NormalizeCodePoint(cp.value, afterFoldable, buffer);
    for (int k = 0; k < n; ++k) {
      const char32_t joined =
          MayCompose(buffer[k]) && !m_units.empty() ? ComposePair(m_units.back().c, buffer[k]) : 0;
      if (joined != 0) {  // ｶﾞ is ガ, as the page would have written it in one character
        m_units.back().c = joined;
        m_units.back().sourceEnd = static_cast<uint32_t>(i);
        m_units.back().cls = ClassOf(joined);
      } else {
        m_units.push_back({buffer[k], begin, static_cast<uint32_t>(i), ClassOf(buffer[k])});
      }
    }
    if (n > 0 &&
        utf8proc_category(static_cast<utf8proc_int32_t>(buffer[n - 1])) != UTF8PROC_CATEGORY_MN) {
      afterFoldable = IsFoldableLetter(buffer[n - 1]);
    }
  }
  Split();
}

void Analysis::Split() {
  m_parts.clear();
  m_segments.clear();
  const auto n = static_cast<uint32_t>(m_units.size());
  uint32_t i = 0;
  while (i < n) {
    const Unit& u = m_units[i];
    if (u.cls == CharClass::kGram) {
      Segment gram;
      gram.gram = true;
      gram.firstPart = static_cast<uint32_t>(m_parts.size());
      uint32_t j = i;
      for (; j < n && m_units[j].cls == CharClass::kGram; ++j) {
        m_parts.push_back({j, j + 1});
      }
      gram.whole = {i, j};
      gram.partCount = j - i;
      m_segments.push_back(gram);
      i = j;
      continue;
    }
    if (u.cls == CharClass::kWord) {
      AddSpan(i, i);
      continue;
    }
    const bool leadingDot = u.c == '.' && i + 1 < n && m_units[i + 1].cls == CharClass::kWord &&
                            (i == 0 || m_units[i - 1].cls != CharClass::kWord);
    if (leadingDot) {
      AddSpan(i, i);
    } else {
      ++i;
    }
  }
}

// Reads the span that starts at `start` (a word character, or the dot of ".NET") and leaves
// `next` after it.
void Analysis::AddSpan(uint32_t start, uint32_t& next) {
  const auto n = static_cast<uint32_t>(m_units.size());
  const auto isWord = [&](uint32_t k) { return k < n && m_units[k].cls == CharClass::kWord; };
  Segment span;
  span.firstPart = static_cast<uint32_t>(m_parts.size());
  span.hasGlue = !isWord(start);
  bool keeping = span.hasGlue;
  uint32_t i = span.hasGlue ? start + 1 : start;
  uint32_t end = 0;  // set by the first part
  while (true) {
    uint32_t j = i;
    while (isWord(j)) {
      ++j;
    }
    m_parts.push_back({i, j});
    end = j;
    if (j >= n) {
      break;
    }
    const char32_t g = m_units[j].c;
    if (IsJoiningGlue(g) && isWord(j + 1)) {
      i = j + 1;
      continue;
    }
    uint32_t k = j;
    while (k < n && k - j < 3 && IsKeepingGlue(m_units[k].c)) {
      ++k;
    }
    if (k > j && k - j <= 2 && isWord(k)) {
      keeping = true;
      i = k;
      continue;
    }
    uint32_t t = j;
    while (t < n && t - j < 3 && (m_units[t].c == '+' || m_units[t].c == '#')) {
      ++t;
    }
    if (t > j && t - j <= 2 && !isWord(t)) {
      keeping = true;
      span.hasGlue = true;
      end = t;
    }
    break;
  }
  span.partCount = static_cast<uint32_t>(m_parts.size()) - span.firstPart;
  span.whole = {start, end};
  span.hasGlue = span.hasGlue || span.partCount > 1;
  span.joinOnly = span.partCount > 1 && !keeping;
  span.tooLong = end - start > kMaxSpanChars || span.partCount > kMaxSpanParts;
  m_segments.push_back(span);
  next = end;
}

void Analysis::AppendText(Range range, std::string& out) const {
  // Room for the rest is made once: the ASCII characters, most of any help text, are stored
  // without a check of the string's capacity each.
  size_t at = out.size();
  out.resize(at + (range.end - range.begin));
  for (uint32_t k = range.begin; k < range.end; ++k) {
    const char32_t c = m_units[k].c;
    if (c < 0x80) {
      out[at++] = static_cast<char>(c);
      continue;
    }
    out.resize(at);
    utf::AppendUtf8(out, c);
    at = out.size();
    out.resize(at + (range.end - k - 1));
  }
}

std::string Analysis::Text(Range range) const {
  std::string out;
  AppendText(range, out);
  return out;
}

std::string Analysis::Joined(const Segment& segment) const {
  std::string out;
  AppendJoined(segment, out);
  return out;
}

void Analysis::AppendJoined(const Segment& segment, std::string& out) const {
  for (uint32_t p = 0; p < segment.partCount; ++p) {
    AppendText(m_parts[segment.firstPart + p], out);
  }
}

bool Analysis::IsNumber(Range part) const {
  for (uint32_t k = part.begin; k < part.end; ++k) {
    if (m_units[k].c < '0' || m_units[k].c > '9') {
      return false;
    }
  }
  return part.end > part.begin;
}

bool Analysis::IsNumber(const Segment& segment) const {
  for (uint32_t p = 0; p < segment.partCount; ++p) {
    if (!IsNumber(m_parts[segment.firstPart + p])) {
      return false;
    }
  }
  return true;
}

std::string Normalize(std::string_view utf8) {
  Analysis analysis;
  analysis.Run(utf8);
  std::string out;
  analysis.AppendText({0, static_cast<uint32_t>(analysis.units().size())}, out);
  return out;
}

std::string SearchKey(std::string_view utf8) {
  Analysis analysis;
  analysis.Run(utf8);
  std::string key;
  for (const Range& part : analysis.parts()) {
    if (!key.empty()) {
      key += ' ';
    }
    analysis.AppendText(part, key);
  }
  return key;
}

}  // namespace dizode::text
