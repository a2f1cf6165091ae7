// Stems through the bounded cache must be exactly Snowball's, before and after the cache empties.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/stemmer.h"

namespace dizode::text {
namespace {

std::string Word(int i) {
  std::string word = "connect";
  for (int rest = i; rest > 0; rest /= 26) {
    word += static_cast<char>('a' + rest % 26);
  }
  return word + (i % 2 ? "ing" : "ions");
}

TEST(StemmerTest, CachedStemsMatchFreshOnesAcrossEviction) {
  Stemmer cached("english");
  std::vector<std::string> first;
  // More distinct words than the cache keeps, so it empties at least once on the way.
  for (int i = 0; i < 40000; ++i) {
    first.emplace_back(cached.Stem(Word(i)));
  }
  for (int i = 39999; i >= 0; i -= 7) {
    Stemmer fresh("english");
    const std::string word = Word(i);
    ASSERT_EQ(cached.Stem(word), first[static_cast<size_t>(i)]) << word;
    ASSERT_EQ(fresh.Stem(word), first[static_cast<size_t>(i)]) << word;
  }
  EXPECT_EQ(cached.Stem("printing"), "print");
  EXPECT_EQ(cached.Stem(std::string(40, 'a') + "ing"), std::string(40, 'a'));  // never cached
}

TEST(StemmerTest, LanguagesWithoutStemmerLeaveWordsAlone) {
  Stemmer none("none");
  EXPECT_FALSE(none.valid());
  EXPECT_EQ(none.Stem("printing"), "printing");
  EXPECT_FALSE(Stemmer("klingon").valid());
  EXPECT_TRUE(HasStemmer("german"));
  EXPECT_FALSE(HasStemmer("klingon"));
}

}  // namespace
}  // namespace dizode::text
