// @brief The small words of a language: the ones that glue a sentence together ("how", "do",
// "to", "the") and say nothing of what a page is about.
//
// The index keeps them like any other word, and a query scores them by their inverse document
// frequency like any other. Only where a reader types a question in plain words do they stop
// deciding which pages match: a page that answers "how do I copy text to the clipboard" need
// not say "how" or "I". Any other query keeps every word it names.
#pragma once

#include <string_view>

namespace dizode::query {

// Whether `word` (one normalised token, as a search key holds it) is a small word of `language`
// (a stem language name). Languages without a list have none.
bool IsSmallWord(std::string_view language, std::string_view word);

// Whether `word` opens a question in `language` ("how", "what", "why"...): a query that starts
// with one is a question typed in the reader's own words.
bool IsQuestionWord(std::string_view language, std::string_view word);

}  // namespace dizode::query
