// Snowball stemming of normalised words, for the stem tokens the index keeps beside each word.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "text/stem_cache.h"

struct sb_stemmer;

namespace dizode::text {

// U+E000, a private-use character no page text keeps after normalisation: the index holds the
// stem of "printing" as this marker followed by "print", beside the word itself.
inline constexpr std::string_view kStemMarker = "\xEE\x80\x80";

// Not thread-safe: each tokenizer, extraction thread or query keeps its own. None is kept in a
// thread_local: in a Windows module the storage of such an object is released before its
// destructor runs when the thread ends.
class Stemmer {
 public:
  // A stemmer for a Snowball language name ("english", "german", ...); "none", an empty name or
  // a language without a stemmer give a stemmer that does nothing (valid() false). Its cache of
  // stems has 2^cacheSetBits sets of two words (see StemCache).
  explicit Stemmer(const std::string& language, unsigned cacheSetBits = kPageCacheSetBits);

  // For the words of pages (half a megabyte), and for the few words of a query.
  static constexpr unsigned kPageCacheSetBits = 12;
  static constexpr unsigned kQueryCacheSetBits = 3;
  ~Stemmer();
  Stemmer(const Stemmer&) = delete;
  Stemmer& operator=(const Stemmer&) = delete;

  bool valid() const { return m_stemmer != nullptr; }
  // The stem of a normalised word; the view stays valid until the next call.
  std::string_view Stem(std::string_view word);

 private:
  sb_stemmer* m_stemmer = nullptr;
  StemCache m_cache;
};

// True when Snowball has a stemmer for this language name.
bool HasStemmer(const std::string& language);

}  // namespace dizode::text
