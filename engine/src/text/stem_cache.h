// The stems a stemmer computed last, by word: pages repeat their words, and looking a stem up
// costs a fraction of computing it again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

namespace dizode::text {

// A fixed table of sets of two slots, each slot a word and its stem held inline: a lookup reads
// two neighbouring cache lines and allocates nothing. A new word takes the first slot of its set
// and moves the word there to the second; the word in the second slot is forgotten. The table is
// allocated at the first Put.
class StemCache {
 public:
  // Longer words or stems are not kept.
  static constexpr size_t kMaxBytes = 31;

  // 2^setBits sets (at most 2^32) of two slots of 64 bytes each.
  explicit StemCache(unsigned setBits = 12);

  // The stem kept for `word`, or nullopt. The view stays valid until the next Put.
  std::optional<std::string_view> Find(std::string_view word) const;
  // Keeps `stem` for `word` when both fit, and returns the stem: the kept copy, or `stem` itself
  // when it was not kept.
  std::string_view Put(std::string_view word, std::string_view stem);

 private:
  struct alignas(64) Slot {
    uint8_t wordSize = 0;  // 0: empty
    uint8_t stemSize = 0;
    char word[kMaxBytes];
    char stem[kMaxBytes];
  };
  static_assert(sizeof(Slot) == 64);

  Slot* SetOf(std::string_view word) const;

  unsigned m_setBits;
  std::unique_ptr<Slot[]> m_slots;
};

}  // namespace dizode::text
