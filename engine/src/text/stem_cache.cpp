#include "text/stem_cache.h"

#include <cstring>

namespace dizode::text {
namespace {

bool Holds(const char* text, size_t size, std::string_view word) {
  return size == word.size() && std::memcmp(text, word.data(), size) == 0;
}

}  // namespace

StemCache::StemCache(unsigned setBits) : m_setBits(setBits) {}

StemCache::Slot* StemCache::SetOf(std::string_view word) const {
  // FNV-1a over the bytes, spread over the top bits by a Fibonacci multiplication.
  uint64_t hash = 14695981039346656037ull;
  for (const char c : word) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  }
  const uint64_t set = m_setBits == 0 ? 0 : (hash * 11400714819323198485ull) >> (64 - m_setBits);
  return m_slots.get() + 2 * set;
}

std::optional<std::string_view> StemCache::Find(std::string_view word) const {
  if (!m_slots || word.empty() || word.size() > kMaxBytes) {
    return std::nullopt;
  }
  const Slot* set = SetOf(word);
  for (const Slot* slot : {set, set + 1}) {
    if (Holds(slot->word, slot->wordSize, word)) {
      return std::string_view(slot->stem, slot->stemSize);
    }
  }
  return std::nullopt;
}

std::string_view StemCache::Put(std::string_view word, std::string_view stem) {
  if (word.empty() || word.size() > kMaxBytes || stem.size() > kMaxBytes) {
    return stem;
  }
  if (!m_slots) {
    m_slots = std::make_unique<Slot[]>(size_t{2} << m_setBits);
  }
  Slot* set = SetOf(word);
  set[1] = set[0];
  Slot& slot = set[0];
  slot.wordSize = static_cast<uint8_t>(word.size());
  slot.stemSize = static_cast<uint8_t>(stem.size());
  std::memcpy(slot.word, word.data(), word.size());
  std::memcpy(slot.stem, stem.data(), stem.size());
  return std::string_view(slot.stem, slot.stemSize);
}

}  // namespace dizode::text
