// Splitting normalised text into the units the index is made of.
//
// Word characters are letters, marks and digits, except those of the scripts written without
// spaces (Han, Hiragana, Katakana, Hangul, Thai, Lao, Khmer, Myanmar), which are "gram"
// characters: a run of them is indexed one character at a time, with each pair of neighbours
// beside it. Runs of word characters joined by glue form a span:
//   * joining glue: a hyphen or apostrophe between two word characters (e-mail, don't);
//   * keeping glue: one or two of . : / \ @ _ # + & between two word characters (foo.bar,
//     std::vector, C:\Windows, sqlite3_prepare_v2); one or two + or # after a word (C++, C#);
//     a . before a word that follows a separator (.NET, .htaccess).
// A span is searchable as a whole, by its parts, and (joining glue only) by its parts written
// together (email for e-mail). Spans longer than kMaxSpanChars characters or kMaxSpanParts
// parts are kept as parts only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dizode::text {

inline constexpr uint32_t kMaxSpanChars = 64;
inline constexpr uint32_t kMaxSpanParts = 16;

enum class CharClass : uint8_t { kSeparator, kWord, kGram };

// One normalised character and the bytes of the input it came from.
struct Unit {
  char32_t c;
  uint32_t sourceBegin;
  uint32_t sourceEnd;
  CharClass cls;
};

// A run of units, [begin, end).
struct Range {
  uint32_t begin;
  uint32_t end;
};

struct Segment {
  Range whole;            // the span with its glue, or the gram run
  uint32_t firstPart;     // into Analysis::parts()
  uint32_t partCount;     // for a gram run: one part per character
  bool gram = false;      // a run of gram characters
  bool hasGlue = false;   // the whole differs from the parts (several parts, or glue at an end)
  bool joinOnly = false;  // several parts, joined by joining glue only
  bool tooLong = false;   // beyond the span limits: searchable by its parts only
};

CharClass ClassOf(char32_t normalised);
bool IsJoiningGlue(char32_t c);
bool IsKeepingGlue(char32_t c);

class Analysis {
 public:
  // Normalises and splits `utf8`; the previous result is replaced. Invalid UTF-8 reads as
  // U+FFFD, a symbol, which separates words.
  void Run(std::string_view utf8);

  const std::vector<Unit>& units() const { return m_units; }
  const std::vector<Range>& parts() const { return m_parts; }
  const std::vector<Segment>& segments() const { return m_segments; }

  // The normalised UTF-8 text of a range of units, appended to `out`.
  void AppendText(Range range, std::string& out) const;
  std::string Text(Range range) const;
  // The parts of a segment written together, without their glue.
  std::string Joined(const Segment& segment) const;
  void AppendJoined(const Segment& segment, std::string& out) const;
  // Whether a part holds ASCII digits only (numbers get no stem).
  bool IsNumber(Range part) const;
  // Whether every part of a segment does (2024-01-15 written together is a number too).
  bool IsNumber(const Segment& segment) const;

 private:
  void Split();
  void AddSpan(uint32_t start, uint32_t& next);

  std::vector<Unit> m_units;
  std::vector<Range> m_parts;
  std::vector<Segment> m_segments;
};

// The whole text normalised (see normalize.h), as UTF-8. Invalid UTF-8 becomes U+FFFD.
std::string Normalize(std::string_view utf8);

// The words of a text as the index sees them, joined by single spaces: two titles, or a title
// and a query, are equal for searching when their keys are equal.
std::string SearchKey(std::string_view utf8);

}  // namespace dizode::text
