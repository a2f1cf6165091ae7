// @brief Plain text up to the query length limit always searches; past it, the documented
// failure. The limit counts the host's UTF-16 code units, not the bytes of the engine's UTF-8.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "toolkit_fixture.h"

namespace dizode {
namespace {

using testing::TempDir;
using testing::Toolkit;
using testing::WritePage;

// `count` words of one letter each, cycling through the alphabet.
std::string OneLetterWords(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += std::string(i ? " " : "") + char('a' + i % 26);
  return text;
}

// Words of two to eight letters, nearly all distinct, filling exactly `units` characters.
std::string MixedWords(size_t units) {
  std::mt19937 random(7);
  std::string text;
  while (text.size() < units) {
    if (!text.empty()) text += ' ';
    size_t length = 2 + random() % 7;
    for (size_t i = 0; i < length; ++i) text += char('a' + random() % 26);
  }
  text.resize(units);
  if (text.back() == ' ') text.back() = 'x';
  return text;
}

// `count` CJK characters (three UTF-8 bytes, one UTF-16 unit each).
std::string CjkText(int count) {
  const char* const kChars[] = {"\xE6\x89\x93", "\xE5\x8D\xB0", "\xE6\x96\x87", "\xE6\xA1\xA3"};
  std::string text;
  for (int i = 0; i < count; ++i) text += kChars[(i * 7 + i / 4) % 4];
  return text;
}

class PlainTextLimitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string cjk = CjkText(12);
    m_pages = {WritePage(m_dir, "a.htm", "Letters", OneLetterWords(26) + " print"),
               WritePage(m_dir, "c.htm", cjk, cjk)};
    ASSERT_TK_OK(m_toolkit.Submit(TK_SUBMIT_ADD, m_pages));
  }

  int32_t StatusOf(const std::string& query) {
    std::vector<testing::Row> rows;
    return m_toolkit.Search(query.c_str(), rows);
  }

  TempDir m_dir;
  Toolkit m_toolkit{m_dir / "coll"};
  std::vector<std::string> m_pages;
};

TEST_F(PlainTextLimitTest, TextUpToTheLimitSearches) {
  const std::string cases[] = {OneLetterWords(2000), OneLetterWords(2048), MixedWords(4096),
                               CjkText(4096), MixedWords(2000) + " " + CjkText(2095)};
  for (const std::string& query : cases) {
    EXPECT_EQ(StatusOf(query), TK_OK)
        << query.substr(0, 60) << "... (" << query.size() << " bytes)";
  }
  // The page holding every letter is found by the long letter text.
  EXPECT_EQ(m_toolkit.FindKeys(OneLetterWords(2000).c_str()), std::vector<std::string>{m_pages[0]});
}

TEST_F(PlainTextLimitTest, TextPastTheLimitIsTooComplex) {
  for (const std::string& query : {MixedWords(4097), CjkText(4097), OneLetterWords(2049)})
    EXPECT_EQ(StatusOf(query), TK_E_QUERY_TOO_COMPLEX) << query.size() << " bytes";
}

}  // namespace
}  // namespace dizode
