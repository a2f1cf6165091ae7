#include "text/prepared_tokens.h"

#include "text/document_tokens.h"

namespace dizode::text {
namespace {
// A plain pointer: a thread_local with a destructor would outlive its storage in a Windows module.
thread_local TokenOffer* t_offer = nullptr;
}  // namespace

TokenPreparer::TokenPreparer(std::string language)
    : m_language(std::move(language)), m_stemmer(m_language) {}

void TokenPreparer::Prepare(std::string_view text, PreparedTokens& tokens) {
  tokens = PreparedTokens();
  tokens.set_language(m_language);
  if (text.size() > PreparedTokens::kMaxTextBytes) return;
  m_analysis.Run(text);
  EmitSourceTokens(m_analysis, &m_stemmer,
                   [&tokens](std::string_view token, bool colocated, int begin, int end) {
                     tokens.Add(token, colocated, begin, end);
                     return 0;
                   });
  // A text without tokens is prepared too: the tokenizer has nothing to give for it either.
  tokens.m_prepared = true;
}

void PreparedTokens::Add(std::string_view token, bool colocated, int begin, int end) {
  m_tokens.push_back({static_cast<uint32_t>(m_bytes.size()), static_cast<uint32_t>(token.size()),
                      begin, end, colocated});
  m_bytes.append(token);
  m_prepared = true;
}

TokenOffer::TokenOffer(std::initializer_list<Entry> entries) : m_outer(t_offer) {
  for (const Entry& entry : entries) {
    if (m_count < kMaxEntries && entry.tokens != nullptr && entry.tokens->prepared())
      m_entries[m_count++] = entry;
  }
  t_offer = this;
}

TokenOffer::~TokenOffer() { t_offer = m_outer; }

const PreparedTokens* OfferedTokens(std::string_view text, const std::string& language) {
  for (const TokenOffer* offer = t_offer; offer != nullptr; offer = offer->m_outer) {
    for (size_t i = 0; i < offer->m_count; ++i) {
      const TokenOffer::Entry& entry = offer->m_entries[i];
      if (entry.text == text && entry.tokens->language() == language) return entry.tokens;
    }
  }
  return nullptr;
}

}  // namespace dizode::text
