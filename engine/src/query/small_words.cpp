#include "query/small_words.h"

#include <algorithm>
#include <array>

namespace dizode::query {
namespace {

// English function words: articles, pronouns, auxiliary and modal verbs, conjunctions, common
// prepositions and question words. Sorted, for a binary search.
constexpr std::array<std::string_view, 105> kEnglish = {
    "a",          "about",   "all",       "also",   "am",     "an",      "and",        "any",
    "are",        "as",      "at",        "be",     "been",   "being",   "both",       "but",
    "by",         "can",     "could",     "did",    "do",     "does",    "doing",      "each",
    "else",       "for",     "from",      "had",    "has",    "have",    "having",     "he",
    "her",        "here",    "him",       "his",    "how",    "i",       "if",         "in",
    "into",       "is",      "it",        "its",    "itself", "just",    "may",        "me",
    "might",      "must",    "my",        "myself", "of",     "on",      "onto",       "or",
    "our",        "ours",    "ourselves", "shall",  "she",    "should",  "so",         "some",
    "such",       "than",    "that",      "the",    "their",  "them",    "themselves", "then",
    "there",      "these",   "they",      "this",   "those",  "through", "to",         "too",
    "upon",       "us",      "very",      "was",    "we",     "were",    "what",       "when",
    "where",      "whether", "which",     "while",  "who",    "whom",    "whose",      "why",
    "will",       "with",    "within",    "would",  "you",    "your",    "yours",      "yourself",
    "yourselves",
};

static_assert(std::is_sorted(kEnglish.begin(), kEnglish.end()));

}  // namespace

bool IsQuestionWord(std::string_view language, std::string_view word) {
  if (language != "english") return false;
  for (const std::string_view question :
       {"how", "what", "when", "where", "which", "who", "whom", "whose", "why"}) {
    if (word == question) return true;
  }
  return false;
}

bool IsSmallWord(std::string_view language, std::string_view word) {
  if (language != "english") return false;
  return std::binary_search(kEnglish.begin(), kEnglish.end(), word);
}

}  // namespace dizode::query
