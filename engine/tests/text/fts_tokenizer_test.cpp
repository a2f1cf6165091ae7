// The tokenizer as FTS5 sees it: positions, co-location, byte offsets, query mode, arguments.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>
#include <string>
#include <vector>

#include "fts5_api.h"
#include "text/fts_tokenizer.h"

namespace dizode::text {
namespace {

const std::string kStem = "\xEE\x80\x80";

class FtsTokenizerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(sqlite3_open(":memory:", &m_db), SQLITE_OK);
    ASSERT_EQ(RegisterHelpTokenizer(m_db), SQLITE_OK);
  }
  void TearDown() override { sqlite3_close(m_db); }

  int Exec(const std::string& sql) {
    return sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr);
  }

  void CreateTable(const std::string& language) {
    ASSERT_EQ(Exec("CREATE VIRTUAL TABLE t USING fts5(body, tokenize = 'helptok " + language +
                   "'); CREATE VIRTUAL TABLE v USING fts5vocab(t, instance)"),
              SQLITE_OK)
        << sqlite3_errmsg(m_db);
  }

  void Insert(const std::string& body) {
    sqlite3_stmt* stmt = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(m_db, "INSERT INTO t(body) VALUES(?1)", -1, &stmt, nullptr),
              SQLITE_OK);
    sqlite3_bind_text(stmt, 1, body.data(), static_cast<int>(body.size()), SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(stmt), SQLITE_DONE) << sqlite3_errmsg(m_db);
    sqlite3_finalize(stmt);
  }

  // The terms of the last document at each position, sorted; stems written "~stem".
  std::map<int, std::vector<std::string>> Positions() {
    std::map<int, std::vector<std::string>> out;
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(
        sqlite3_prepare_v2(m_db,
                           "SELECT term, offset FROM v WHERE doc = (SELECT max(rowid) FROM t) "
                           "ORDER BY offset, term",
                           -1, &stmt, nullptr),
        SQLITE_OK);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      std::string term(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)),
                       static_cast<size_t>(sqlite3_column_bytes(stmt, 0)));
      if (term.starts_with(kStem)) {
        term = "~" + term.substr(kStem.size());
      }
      out[sqlite3_column_int(stmt, 1)].push_back(term);
    }
    sqlite3_finalize(stmt);
    return out;
  }

  int Count(const std::string& match) {
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(
        sqlite3_prepare_v2(m_db, "SELECT count(*) FROM t WHERE t MATCH ?1", -1, &stmt, nullptr),
        SQLITE_OK);
    sqlite3_bind_text(stmt, 1, match.c_str(), -1, SQLITE_TRANSIENT);
    const int count = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    return count;
  }

  struct Token {
    std::string text;
    int flags;
    int begin;
    int end;
    bool operator==(const Token&) const = default;
  };

  // Runs the registered tokenizer directly, as FTS5 would.
  std::vector<Token> Tokenize(const std::string& text, int flags) {
    fts5_api* api = nullptr;
    EXPECT_EQ(GetFts5Api(m_db, &api), SQLITE_OK);
    void* user = nullptr;
    fts5_tokenizer methods{};
    EXPECT_EQ(api->xFindTokenizer(api, kTokenizerName, &user, &methods), SQLITE_OK);
    const char* args[] = {"english"};
    Fts5Tokenizer* tokenizer = nullptr;
    EXPECT_EQ(methods.xCreate(user, args, 1, &tokenizer), SQLITE_OK);
    std::vector<Token> tokens;
    const auto collect = [](void* context, int tflags, const char* token, int size, int begin,
                            int end) {
      static_cast<std::vector<Token>*>(context)->push_back(
          {std::string(token, static_cast<size_t>(size)), tflags, begin, end});
      return SQLITE_OK;
    };
    EXPECT_EQ(methods.xTokenize(tokenizer, &tokens, flags, text.data(),
                                static_cast<int>(text.size()), collect),
              SQLITE_OK);
    methods.xDelete(tokenizer);
    return tokens;
  }

  sqlite3* m_db = nullptr;
};

using Terms = std::vector<std::string>;

TEST_F(FtsTokenizerTest, PositionsAndColocation) {
  CreateTable("english");
  Insert("Printing e-mail, \u65E5\u672C\u8A9E C++ 10.0.0.1");
  const std::map<int, Terms> expected = {
      {0, {"printing", "~print"}},
      {1, {"e", "e-mail", "email", "~e", "~email"}},
      {2, {"mail", "~mail"}},
      {3, {"\u65E5", "\u65E5\u672C"}},
      {4, {"\u672C", "\u672C\u8A9E"}},
      {5, {"\u8A9E"}},
      {6, {"c", "c++", "~c"}},
      {7, {"10", "10.0.0.1"}},
      {8, {"0"}},
      {9, {"0"}},
      {10, {"1"}},
  };
  EXPECT_EQ(Positions(), expected);
  // Every form written at index time is found by the query side's verbatim terms.
  for (const char* match :
       {"\"e-mail\"", "\"email\"", "\"e\" + \"mail\"", "\"\xEE\x80\x80print\"",
        "\"\xE6\x97\xA5\xE6\x9C\xAC\" + \"\xE6\x9C\xAC\xE8\xAA\x9E\"", "\"c++\"", "\"10.0.0.1\""}) {
    EXPECT_EQ(Count(match), 1) << match;
  }
}

TEST_F(FtsTokenizerTest, DocumentOffsetsPointIntoTheSource) {
  // Full-width letters: three source bytes per character, one token.
  const std::vector<Token> tokens = Tokenize("\uFF26\uFF4F\uFF4F e-mail", 0);
  const std::vector<Token> expected = {
      {"foo", 0, 0, 9},
      {kStem + "foo", FTS5_TOKEN_COLOCATED, 0, 9},
      {"e", 0, 10, 11},
      {kStem + "e", FTS5_TOKEN_COLOCATED, 10, 11},
      {"e-mail", FTS5_TOKEN_COLOCATED, 10, 16},
      {"email", FTS5_TOKEN_COLOCATED, 10, 16},
      {kStem + "email", FTS5_TOKEN_COLOCATED, 10, 16},
      {"mail", 0, 12, 16},
      {kStem + "mail", FTS5_TOKEN_COLOCATED, 12, 16},
  };
  EXPECT_EQ(tokens, expected);
}

TEST_F(FtsTokenizerTest, QueryModeSplitsAtSpacesOnly) {
  const std::string text = "Foo.Bar  " + kStem + "print e-mail ";
  const std::vector<Token> expected = {
      {"Foo.Bar", 0, 0, 7}, {kStem + "print", 0, 9, 17}, {"e-mail", 0, 18, 24}};
  EXPECT_EQ(Tokenize(text, FTS5_TOKENIZE_QUERY), expected);
  EXPECT_TRUE(Tokenize("   ", FTS5_TOKENIZE_QUERY).empty());

  CreateTable("english");
  Insert("foo");
  EXPECT_EQ(Count("\"foo\""), 1);
  EXPECT_EQ(Count("\"FOO\""), 0);  // the query side normalises before FTS5 sees the text
}

TEST_F(FtsTokenizerTest, NoneGivesNoStems) {
  CreateTable("none");
  Insert("Printing e-mail");
  const std::map<int, Terms> expected = {
      {0, {"printing"}}, {1, {"e", "e-mail", "email"}}, {2, {"mail"}}};
  EXPECT_EQ(Positions(), expected);
}

TEST_F(FtsTokenizerTest, LanguageArgument) {
  EXPECT_NE(Exec("CREATE VIRTUAL TABLE bad USING fts5(body, tokenize = 'helptok klingon')"),
            SQLITE_OK);
  CreateTable("german");
  Insert("Häuser");
  const std::map<int, Terms> expected = {{0, {"hauser", "~haus"}}};
  EXPECT_EQ(Positions(), expected);
}

TEST_F(FtsTokenizerTest, HostileDocumentsAreStored) {
  CreateTable("english");
  const std::string hostile[] = {
      std::string(1 << 20, 'x'),
      std::string("nul\0inside", 10),
      "bad\xFF\xFE utf8 \xED\xA0\x80 surrogate \xC3",
      "a" + std::string(10000, '.') + "b" + std::string(10000, '-') + "c",
  };
  for (const std::string& text : hostile) {
    Insert(text);
  }
  EXPECT_EQ(Exec("INSERT INTO t(t) VALUES('integrity-check')"), SQLITE_OK) << sqlite3_errmsg(m_db);
  EXPECT_EQ(Count("\"surrogate\""), 1);
  EXPECT_EQ(Count("\"inside\""), 1);
}

}  // namespace
}  // namespace dizode::text
