#include "text/stemmer.h"

#include <libstemmer.h>

namespace dizode::text {

Stemmer::Stemmer(const std::string& language, unsigned cacheSetBits) : m_cache(cacheSetBits) {
  if (!language.empty() && language != "none") {
    m_stemmer = sb_stemmer_new(language.c_str(), "UTF_8");
  }
}

Stemmer::~Stemmer() {
  if (m_stemmer != nullptr) {
    sb_stemmer_delete(m_stemmer);
  }
}

std::string_view Stemmer::Stem(std::string_view word) {
  if (m_stemmer == nullptr) {
    return word;
  }
  // Pages repeat their words: most stems are found, not computed.
  if (const std::optional<std::string_view> kept = m_cache.Find(word)) {
    return *kept;
  }
  const sb_symbol* stem = sb_stemmer_stem(
      m_stemmer, reinterpret_cast<const sb_symbol*>(word.data()), static_cast<int>(word.size()));
  if (stem == nullptr) {  // out of memory inside Snowball: the word is its own stem
    return word;
  }
  return m_cache.Put(word, std::string_view(reinterpret_cast<const char*>(stem),
                                            static_cast<size_t>(sb_stemmer_length(m_stemmer))));
}

bool HasStemmer(const std::string& language) {
  for (const char** name = sb_stemmer_list(); *name != nullptr; ++name) {
    if (language == *name) {
      return true;
    }
  }
  return false;
}

}  // namespace dizode::text
