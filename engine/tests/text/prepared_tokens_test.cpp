// Tokens worked out ahead of an insert: the tokenizer replays exactly what it would have given,
// and only for the text and language they were worked out for.
#include "text/prepared_tokens.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <thread>
#include <vector>

#include "fts5_api.h"
#include "text/fts_tokenizer.h"

namespace dizode::text {
namespace {

// One token as the tokenizer hands it to FTS5.
std::string Describe(std::string_view token, bool colocated, int begin, int end) {
  return (colocated ? "+" : "") + std::string(token) + "@" + std::to_string(begin) + "-" +
         std::to_string(end);
}

class PreparedTokensTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(sqlite3_open(":memory:", &m_db), SQLITE_OK);
    ASSERT_EQ(RegisterHelpTokenizer(m_db), SQLITE_OK);
    ASSERT_EQ(GetFts5Api(m_db, &m_api), SQLITE_OK);
  }
  void TearDown() override { sqlite3_close(m_db); }

  // What the registered tokenizer, made for `language`, gives FTS5 for a document text.
  std::vector<std::string> Tokenize(const std::string& text, const std::string& language) {
    void* user = nullptr;
    fts5_tokenizer methods{};
    EXPECT_EQ(m_api->xFindTokenizer(m_api, kTokenizerName, &user, &methods), SQLITE_OK);
    const char* args[] = {language.c_str()};
    Fts5Tokenizer* tokenizer = nullptr;
    EXPECT_EQ(methods.xCreate(user, args, 1, &tokenizer), SQLITE_OK);
    std::vector<std::string> tokens;
    const auto collect = [](void* context, int flags, const char* token, int size, int begin,
                            int end) {
      static_cast<std::vector<std::string>*>(context)->push_back(
          Describe(std::string_view(token, static_cast<size_t>(size)),
                   (flags & FTS5_TOKEN_COLOCATED) != 0, begin, end));
      return SQLITE_OK;
    };
    EXPECT_EQ(methods.xTokenize(tokenizer, &tokens, FTS5_TOKENIZE_DOCUMENT, text.data(),
                                static_cast<int>(text.size()), collect),
              SQLITE_OK);
    methods.xDelete(tokenizer);
    return tokens;
  }

  static std::vector<std::string> Replayed(const PreparedTokens& prepared) {
    std::vector<std::string> tokens;
    prepared.Replay([&](std::string_view token, bool colocated, int begin, int end) {
      tokens.push_back(Describe(token, colocated, begin, end));
      return 0;
    });
    return tokens;
  }

  sqlite3* m_db = nullptr;
  fts5_api* m_api = nullptr;
};

// Words and stems, spans with glue, numbers and dates, gram scripts, case and accents, invalid
// bytes: what the extraction threads work out is what the tokenizer gives, offsets included.
TEST_F(PreparedTokensTest, PreparedOnAnotherThreadEqualsTheTokenizer) {
  const std::vector<std::string> texts = {
      "Printing the reports, re-printed: printers' settings",
      "error-code E_ACCESSDENIED at 2024-01-15 (v1.2.3) x86_64 C++ .NET",
      "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE6\xA4\x9C\xE7\xB4\xA2 mixed text",
      "Caf\xC3\xA9 na\xC3\xAFve \xC3\x89T\xC3\x89 Stra\u00DFe",
      "broken \xE3\x80 bytes \xFF here",
      ""};
  for (const std::string language : {"english", "german", "none"}) {
    for (const std::string& text : texts) {
      PreparedTokens prepared;
      std::thread([&] { TokenPreparer(language).Prepare(text, prepared); }).join();
      ASSERT_TRUE(prepared.prepared());
      EXPECT_EQ(Replayed(prepared), Tokenize(text, language)) << language << ": " << text;
    }
  }
}

TEST_F(PreparedTokensTest, TheTokenizerReplaysOnlyForTheSameTextAndLanguage) {
  const std::string text = "alpha beta";
  PreparedTokens marked;  // tokens no tokenizer would give, to tell a replay apart
  marked.set_language("english");
  marked.Add("replayed", false, 0, 10);
  const std::vector<std::string> own = Tokenize(text, "english");
  ASSERT_NE(own, Replayed(marked));
  {
    const TokenOffer offer({{text, &marked}});
    EXPECT_EQ(Tokenize(text, "english"), Replayed(marked));
    EXPECT_NE(Tokenize("alpha betA", "english"), Replayed(marked));
    EXPECT_NE(Tokenize(text, "none"), Replayed(marked));
    EXPECT_NE(Tokenize(text + " ", "english"), Replayed(marked));
    // Another thread has no offer of its own.
    std::vector<std::string> elsewhere;
    std::thread([&] { elsewhere = Tokenize(text, "english"); }).join();
    EXPECT_EQ(elsewhere, own);
  }
  EXPECT_EQ(Tokenize(text, "english"), own);
}

// One object serves text after text: each preparation starts afresh.
TEST_F(PreparedTokensTest, ASecondTextReplacesTheFirstAndALongOneLeavesNothing) {
  TokenPreparer preparer("english");
  PreparedTokens prepared;
  preparer.Prepare("alpha beta", prepared);
  preparer.Prepare("gamma", prepared);
  EXPECT_EQ(Replayed(prepared), Tokenize("gamma", "english"));

  std::string text;
  while (text.size() <= PreparedTokens::kMaxTextBytes) text += "word ";
  const std::vector<std::string> own = Tokenize(text, "english");
  preparer.Prepare(text, prepared);
  EXPECT_FALSE(prepared.prepared());
  EXPECT_TRUE(Replayed(prepared).empty());
  const TokenOffer offer({{text, &prepared}});
  EXPECT_EQ(Tokenize(text, "english"), own);
  EXPECT_FALSE(own.empty());
}

}  // namespace
}  // namespace dizode::text
