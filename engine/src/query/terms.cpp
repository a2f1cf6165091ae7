#include "query/terms.h"

#include "query/text.h"

namespace dizode::query {
namespace {

bool InSegment(const Unit& u) { return u.wildcard || IsWordChar(u.c); }

// A segment is a run of word characters and wildcards between separators.
void AddSegment(const Unit* begin, const Unit* end, bool inPhrase, TermList& out) {
  int literals = 0;
  int wildcards = 0;
  for (const Unit* u = begin; u != end; ++u) {
    (u->wildcard ? wildcards : literals) += 1;
  }
  if (wildcards > 0) {
    out.hadWildcard = true;
  }
  if (literals == 0) {
    return;  // `*`, `?*`: nothing to anchor on
  }
  const bool prefix = wildcards == 1 && (end - 1)->wildcard && (end - 1)->c == U'*';
  if (wildcards == 0 || prefix) {
    Term term{prefix ? Term::Kind::kPrefix : Term::Kind::kExact, {}};
    for (const Unit* u = begin; u != end; ++u) {
      if (!u->wildcard) {
        AppendFolded(term.text, u->c);
      }
    }
    out.terms.push_back(std::move(term));
    return;
  }
  if (inPhrase) {  // inner wildcards in a phrase are punctuation: split there
    const Unit* start = begin;
    for (const Unit* u = begin; u != end; ++u) {
      if (!u->wildcard) {
        continue;
      }
      const bool trailingStar = u + 1 == end && u->c == U'*';
      if (trailingStar) {
        break;
      }
      if (start != u) {
        AddSegment(start, u, inPhrase, out);
      }
      start = u + 1;
    }
    if (start != end) {
      AddSegment(start, end, inPhrase, out);
    }
    return;
  }
  Term term{Term::Kind::kPattern, {}};
  for (const Unit* u = begin; u != end; ++u) {
    if (u->wildcard) {
      term.text += static_cast<char>(u->c);
    } else if (u->c == U'[' || u->c == U']') {
      term.text += u->c == U'[' ? "[[]" : "[]]";
    } else {
      AppendFolded(term.text, u->c);
    }
  }
  out.terms.push_back(std::move(term));
}

}  // namespace

TermList SplitTerms(const std::vector<Unit>& units, bool inPhrase) {
  TermList out;
  const Unit* data = units.data();
  size_t i = 0;
  while (i < units.size()) {
    if (!InSegment(units[i])) {
      ++i;
      continue;
    }
    size_t j = i;
    while (j < units.size() && InSegment(units[j])) {
      ++j;
    }
    AddSegment(data + i, data + j, inPhrase, out);
    i = j;
  }
  return out;
}

}  // namespace dizode::query
