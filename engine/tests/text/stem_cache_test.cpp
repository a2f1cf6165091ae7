// The stem cache answers only for the very word it kept, and forgets the oldest of a set.
#include "text/stem_cache.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

namespace dizode::text {
namespace {

std::optional<std::string> Found(const StemCache& cache, std::string_view word) {
  const std::optional<std::string_view> stem = cache.Find(word);
  return stem ? std::optional<std::string>(*stem) : std::nullopt;
}

TEST(StemCacheTest, OneSetKeepsTheTwoNewestWordsAndOnlyThoseWords) {
  StemCache cache(0);  // one set: every word competes for the same two slots
  EXPECT_EQ(Found(cache, "printing"), std::nullopt);
  EXPECT_EQ(cache.Put("printing", "print"), "print");
  EXPECT_EQ(cache.Put("connections", "connect"), "connect");
  EXPECT_EQ(Found(cache, "printing"), "print");
  EXPECT_EQ(Found(cache, "connections"), "connect");
  for (const char* other : {"print", "printings", "Printing", "connection", ""}) {
    EXPECT_EQ(Found(cache, other), std::nullopt) << other;
  }
  cache.Put("running", "run");  // the oldest, "printing", goes
  EXPECT_EQ(Found(cache, "printing"), std::nullopt);
  EXPECT_EQ(Found(cache, "connections"), "connect");
  EXPECT_EQ(Found(cache, "running"), "run");
}

TEST(StemCacheTest, WordsOrStemsTooLongForASlotAreHandedBackButNotKept) {
  StemCache cache(4);
  const std::string longest(StemCache::kMaxBytes, 'a');
  const std::string tooLong(StemCache::kMaxBytes + 1, 'a');
  const struct {
    std::string word;
    std::string stem;
    bool kept;
  } cases[] = {
      {longest, longest, true},
      {tooLong, "a", false},
      {"abc", tooLong, false},
      {"", "", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(cache.Put(c.word, c.stem), c.stem) << c.word;
    EXPECT_EQ(Found(cache, c.word), c.kept ? std::optional<std::string>(c.stem) : std::nullopt)
        << c.word;
  }
}

}  // namespace
}  // namespace dizode::text
