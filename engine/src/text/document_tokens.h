// The tokens the index keeps for a page's text, position by position.
//
// Each part of a span, and each character of a gram run, takes a position of its own. Beside it,
// at the same position, come the tokens that let other ways of writing find it: the whole span
// (with the first part), the parts written together (joining glue only), the stem of each word
// behind kStemMarker, and the pair of a gram character with the next one. Whole spans, gram
// tokens and numbers get no stem.
#pragma once

#include <string>
#include <string_view>

#include "text/analysis.h"
#include "text/stemmer.h"

namespace dizode::text {

// `sink(text, colocated, range)` receives every token in order; `colocated` is true for a token
// at the position of the one before it. A non-zero return value stops the walk and is returned.
template <typename Sink>
int EmitDocumentTokens(const Analysis& analysis, Stemmer* stemmer, Sink&& sink) {
  const bool stemming = stemmer != nullptr && stemmer->valid();
  const auto& parts = analysis.parts();
  std::string token;
  std::string stem;
  const auto emitStem = [&](std::string_view word, Range range) {
    stem.assign(kStemMarker);
    stem += stemmer->Stem(word);
    return sink(std::string_view(stem), true, range);
  };
  for (const Segment& segment : analysis.segments()) {
    for (uint32_t p = 0; p < segment.partCount; ++p) {
      const Range part = parts[segment.firstPart + p];
      token.clear();
      analysis.AppendText(part, token);
      if (int rc = sink(std::string_view(token), false, part)) {
        return rc;
      }
      if (segment.gram) {
        if (p + 1 < segment.partCount) {
          analysis.AppendText(parts[segment.firstPart + p + 1], token);
          if (int rc = sink(std::string_view(token), true, Range{part.begin, part.end + 1})) {
            return rc;
          }
        }
        continue;
      }
      if (stemming && !analysis.IsNumber(part)) {
        if (int rc = emitStem(token, part)) {
          return rc;
        }
      }
      if (p != 0 || !segment.hasGlue || segment.tooLong) {
        continue;
      }
      token.clear();
      analysis.AppendText(segment.whole, token);
      if (int rc = sink(std::string_view(token), true, segment.whole)) {
        return rc;
      }
      if (segment.joinOnly) {
        token.clear();
        analysis.AppendJoined(segment, token);
        if (int rc = sink(std::string_view(token), true, segment.whole)) {
          return rc;
        }
        if (stemming && !analysis.IsNumber(segment)) {  // 2024-01-15 gives 20240115, a number
          if (int rc = emitStem(token, segment.whole)) {
            return rc;
          }
        }
      }
    }
  }
  return 0;
}

// The same walk with each token's place in the source text: `sink(text, colocated, begin, end)`
// gets the byte offsets of the token's first and past its last source character.
template <typename Sink>
int EmitSourceTokens(const Analysis& analysis, Stemmer* stemmer, Sink&& sink) {
  const auto& units = analysis.units();
  return EmitDocumentTokens(
      analysis, stemmer, [&](std::string_view token, bool colocated, Range range) {
        return sink(token, colocated, static_cast<int>(units[range.begin].sourceBegin),
                    static_cast<int>(units[range.end - 1].sourceEnd));
      });
}

}  // namespace dizode::text
