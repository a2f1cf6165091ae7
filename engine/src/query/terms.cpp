#include "query/terms.h"

#include "text/analysis.h"
#include "text/normalize.h"
#include "text/stemmer.h"
#include "utf/code_points.h"

namespace dizode::query {
namespace {

using text::Analysis;
using text::CharClass;
using text::Range;
using text::Segment;

Term Exact(std::string text) { return {Term::Kind::kExact, std::move(text)}; }

// Characters that keep a piece of a chunk together: word characters and glue, judged after
// normalisation as the index judges them (a full-width dot is a dot), and the characters that
// normalisation deletes. Everything else separates pieces; in a phrase, so do wildcards other
// than a prefix star.
bool InPiece(const Unit& u) {
  if (u.wildcard) {
    return true;
  }
  char32_t normal[text::kMaxExpansion];
  const int n = text::NormalizeCodePoint(u.c, false, normal);
  if (n == 0) {
    return true;
  }
  const char32_t c = normal[0];
  return text::IsJoiningGlue(c) || text::IsKeepingGlue(c) ||
         text::ClassOf(c) != CharClass::kSeparator;
}

std::string Literal(const Unit* begin, const Unit* end) {
  std::string out;
  for (const Unit* u = begin; u != end; ++u) {
    if (!u->wildcard) {
      utf::AppendUtf8(out, u->c);
    }
  }
  return out;
}

// The terms of a piece without wildcards, appended as exact tokens at consecutive positions.
// Gram runs give one term per character, so the positions stay those of the page.
void AppendExactTerms(const Analysis& analysis, std::vector<Term>& terms) {
  for (const Range& part : analysis.parts()) {
    terms.push_back(Exact(analysis.Text(part)));
  }
}

// The alternatives of a chunk that is a single span or gram run.
void SingleSegment(const Analysis& analysis, const Segment& s, text::Stemmer* stemmer,
                   std::vector<Alternative>& out) {
  const auto& parts = analysis.parts();
  const bool stemming = stemmer != nullptr && stemmer->valid();
  const auto stemOf = [&](const std::string& word) {
    return Exact(std::string(text::kStemMarker) + std::string(stemmer->Stem(word)));
  };
  std::vector<Term> phrase;
  for (uint32_t p = 0; p < s.partCount; ++p) {
    phrase.push_back(Exact(analysis.Text(parts[s.firstPart + p])));
  }
  if (s.gram) {
    if (s.partCount == 1) {
      out.push_back({std::move(phrase), kExactWeight});
      return;
    }
    // The phrase of neighbour pairs: as exact as the characters, far more selective.
    std::vector<Term> pairs;
    for (uint32_t p = 0; p + 1 < s.partCount; ++p) {
      pairs.push_back(Exact(phrase[p].text + phrase[p + 1].text));
    }
    out.push_back({std::move(pairs), kExactWeight});
    return;
  }
  if (!s.hasGlue) {
    const std::string word = phrase.front().text;
    out.push_back({std::move(phrase), kExactWeight});
    if (stemming && !analysis.IsNumber(parts[s.firstPart])) {
      out.push_back({{stemOf(word)}, kStemWeight});
    }
    return;
  }
  if (s.tooLong) {
    out.push_back({std::move(phrase), kPartsWeight});
    return;
  }
  out.push_back({{Exact(analysis.Text(s.whole))}, kExactWeight});
  if (s.partCount == 1) {
    return;  // C++, .NET: the span is the only way to tell them from a plain letter
  }
  if (s.joinOnly) {
    const std::string joined = analysis.Joined(s);
    out.push_back({phrase, kPartsWeight});
    out.push_back({{Exact(joined)}, kExactWeight});
    if (stemming && !analysis.IsNumber(s)) {  // 2024-01-15 is never stemmed
      out.push_back({{stemOf(joined)}, kStemWeight});
    }
    return;
  }
  out.push_back({phrase, kPartsWeight});
  for (Term& part : phrase) {
    out.push_back({{std::move(part)}, kScoringPartWeight, true});
  }
}

// A piece with wildcards: a prefix term or a GLOB pattern over the normalised literals.
bool AddPattern(const Unit* begin, const Unit* end, std::vector<Term>& terms) {
  int literals = 0;
  int wildcards = 0;
  for (const Unit* u = begin; u != end; ++u) {
    (u->wildcard ? wildcards : literals) += 1;
  }
  if (literals == 0) {
    return false;  // `*`, `?*`: nothing to anchor on
  }
  if (wildcards == 1 && (end - 1)->wildcard && (end - 1)->c == U'*') {
    terms.push_back({Term::Kind::kPrefix, text::Normalize(Literal(begin, end - 1))});
    return true;
  }
  Term term{Term::Kind::kPattern, {}};
  const Unit* run = begin;
  const auto flush = [&](const Unit* upTo) {
    for (char c : text::Normalize(Literal(run, upTo))) {
      term.text += c == '[' ? "[[]" : c == ']' ? "[]]" : std::string(1, c);
    }
  };
  for (const Unit* u = begin; u != end; ++u) {
    if (u->wildcard) {
      flush(u);
      term.text += static_cast<char>(u->c);
      run = u + 1;
    }
  }
  flush(end);
  terms.push_back(std::move(term));
  return true;
}

}  // namespace

TermList SplitTerms(const std::vector<Unit>& units, bool inPhrase, text::Stemmer* stemmer) {
  TermList out;
  // In a phrase only a star that ends a piece is a wildcard: the others are punctuation.
  std::vector<Unit> chunk = units;
  for (size_t i = 0; i < chunk.size(); ++i) {
    if (!chunk[i].wildcard) {
      continue;
    }
    out.hadWildcard = true;
    const bool endsPiece = i + 1 == chunk.size() || !InPiece(chunk[i + 1]);
    if (inPhrase && !(chunk[i].c == U'*' && endsPiece)) {
      chunk[i] = {U' ', false};
    }
  }
  std::vector<Term> terms;
  std::string words;
  Analysis analysis;
  std::vector<Alternative> single;
  size_t segments = 0;
  for (size_t i = 0; i < chunk.size();) {
    if (!InPiece(chunk[i])) {
      ++i;
      continue;
    }
    size_t j = i;
    bool wild = false;
    while (j < chunk.size() && InPiece(chunk[j])) {
      wild = wild || chunk[j].wildcard;
      ++j;
    }
    if (wild) {
      segments += AddPattern(&chunk[i], &chunk[j], terms) ? 2 : 0;  // never a single segment
    } else {
      const std::string piece = Literal(&chunk[i], &chunk[j]);
      analysis.Run(piece);
      AppendExactTerms(analysis, terms);
      segments += analysis.segments().size();
      if (analysis.segments().size() == 1 && single.empty()) {
        SingleSegment(analysis, analysis.segments().front(), stemmer, single);
      }
      words += piece + " ";
    }
    i = j;
  }
  out.key = text::SearchKey(words);
  if (terms.empty()) {
    return out;
  }
  if (segments == 1 && !inPhrase) {
    out.alternatives = std::move(single);
    return out;
  }
  const bool exact = inPhrase && !out.hadWildcard;
  out.alternatives.push_back({std::move(terms), exact             ? kExactWeight
                                                : out.hadWildcard ? kPatternWeight
                                                                  : kPartsWeight});
  return out;
}

}  // namespace dizode::query
