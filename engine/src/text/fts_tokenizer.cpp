#include "text/fts_tokenizer.h"

#include <sqlite3.h>

#include <memory>
#include <new>
#include <string>

#include "fts5_api.h"
#include "text/analysis.h"
#include "text/document_tokens.h"
#include "text/prepared_tokens.h"
#include "text/stemmer.h"

namespace dizode::text {
namespace {

struct Tokenizer {
  explicit Tokenizer(const std::string& language) : language(language), stemmer(language) {}
  std::string language;
  Stemmer stemmer;
  Analysis analysis;
};

using TokenCallback = int (*)(void*, int, const char*, int, int, int);

int Create(void*, const char** args, int count, Fts5Tokenizer** out) {
  *out = nullptr;
  const std::string language = count > 0 && args[0] != nullptr ? args[0] : "english";
  if (language != "none" && !HasStemmer(language)) {
    return SQLITE_ERROR;
  }
  auto* tokenizer = new (std::nothrow) Tokenizer(language);
  if (tokenizer == nullptr) {
    return SQLITE_NOMEM;
  }
  *out = reinterpret_cast<Fts5Tokenizer*>(tokenizer);
  return SQLITE_OK;
}

void Delete(Fts5Tokenizer* tokenizer) { delete reinterpret_cast<Tokenizer*>(tokenizer); }

int SplitAtSpaces(void* context, const char* text, int size, TokenCallback emit) {
  int start = 0;
  for (int i = 0; i <= size; ++i) {
    if (i < size && text[i] != ' ') {
      continue;
    }
    if (i > start) {
      if (int rc = emit(context, 0, text + start, i - start, start, i)) {
        return rc;
      }
    }
    start = i + 1;
  }
  return SQLITE_OK;
}

int Tokenize(Fts5Tokenizer* handle, void* context, int flags, const char* text, int size,
             TokenCallback emit) {
  if (text == nullptr || size <= 0) {
    return SQLITE_OK;
  }
  if ((flags & FTS5_TOKENIZE_QUERY) != 0) {
    return SplitAtSpaces(context, text, size, emit);
  }
  auto* tokenizer = reinterpret_cast<Tokenizer*>(handle);
  try {
    const auto send = [&](std::string_view token, bool colocated, int begin, int end) {
      return emit(context, colocated ? FTS5_TOKEN_COLOCATED : 0, token.data(),
                  static_cast<int>(token.size()), begin, end);
    };
    const std::string_view source(text, static_cast<size_t>(size));
    if (const PreparedTokens* prepared = OfferedTokens(source, tokenizer->language))
      return prepared->Replay(send);
    tokenizer->analysis.Run(source);
    return EmitSourceTokens(tokenizer->analysis, &tokenizer->stemmer, send);
  } catch (const std::bad_alloc&) {
    return SQLITE_NOMEM;
  }
}

}  // namespace

int RegisterHelpTokenizer(sqlite3* db) {
  fts5_api* api = nullptr;
  if (int rc = GetFts5Api(db, &api)) {
    return rc;
  }
  fts5_tokenizer methods{Create, Delete, Tokenize};
  return api->xCreateTokenizer(api, kTokenizerName, nullptr, &methods, nullptr);
}

}  // namespace dizode::text
