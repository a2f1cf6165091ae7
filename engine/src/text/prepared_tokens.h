// @brief A page text's index tokens worked out before its insertion, for the tokenizer to replay.
//
// FTS5 tokenizes a row's text on the thread that inserts it, the one thread that writes the
// collection. The threads that extract pages work out the same tokens beforehand (the walk of
// document_tokens.h, with a stemmer of the same language); the writer offers them for the
// length of the insert, and the tokenizer replays them when it is asked for exactly that text in
// that language, and tokenizes as usual otherwise.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "text/analysis.h"
#include "text/stemmer.h"

namespace dizode::text {

class PreparedTokens;

// What one thread needs to work out tokens in one language: the analysis's buffers and a
// stemmer. Each extraction thread owns one for as long as it runs; it is never shared.
class TokenPreparer {
 public:
  // `language` as the tokenizer takes it ("none" for no stemming).
  explicit TokenPreparer(std::string language);
  TokenPreparer(const TokenPreparer&) = delete;
  TokenPreparer& operator=(const TokenPreparer&) = delete;

  // The tokens of `text` into `tokens`. Leaves nothing prepared for a text beyond
  // PreparedTokens::kMaxTextBytes.
  void Prepare(std::string_view text, PreparedTokens& tokens);

 private:
  std::string m_language;
  Analysis m_analysis;
  Stemmer m_stemmer;
};

class PreparedTokens {
 public:
  // Texts beyond this size are left to the tokenizer: their tokens would hold several times
  // their size in memory for every page the extraction threads are ahead.
  static constexpr size_t kMaxTextBytes = size_t{256} * 1024;

  // Adds one token, as the walk would give it: for TokenPreparer, and for tests that need tokens
  // of their own making.
  void Add(std::string_view token, bool colocated, int begin, int end);

  const std::string& language() const { return m_language; }
  void set_language(std::string language) { m_language = std::move(language); }
  bool prepared() const { return m_prepared; }

  // Gives every token to `sink(text, colocated, begin, end)` in order; a non-zero return stops.
  template <typename Sink>
  int Replay(Sink&& sink) const {
    for (const Token& token : m_tokens) {
      const std::string_view text(m_bytes.data() + token.offset, token.size);
      if (int rc = sink(text, token.colocated, token.begin, token.end)) return rc;
    }
    return 0;
  }

 private:
  struct Token {
    uint32_t offset;
    uint32_t size;
    int begin;
    int end;
    bool colocated;
  };
  std::string m_bytes;  // every token's text, one after another
  std::vector<Token> m_tokens;
  std::string m_language;
  bool m_prepared = false;

  friend class TokenPreparer;
};

// Offers prepared tokens for texts to the tokenizer on the calling thread while it lives.
class TokenOffer {
 public:
  struct Entry {
    std::string_view text;
    const PreparedTokens* tokens;
  };
  explicit TokenOffer(std::initializer_list<Entry> entries);
  ~TokenOffer();
  TokenOffer(const TokenOffer&) = delete;
  TokenOffer& operator=(const TokenOffer&) = delete;

 private:
  static constexpr size_t kMaxEntries = 4;
  Entry m_entries[kMaxEntries] = {};
  size_t m_count = 0;
  TokenOffer* m_outer;

  friend const PreparedTokens* OfferedTokens(std::string_view, const std::string&);
};

// The tokens offered on this thread for exactly `text` in `language`, or null.
const PreparedTokens* OfferedTokens(std::string_view text, const std::string& language);

}  // namespace dizode::text
