// @brief The last failure of a session, read back through TkGetLastError.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dizode/dizode.h"
#include "toolkit_fixture.h"

namespace dizode {
namespace {

using testing::TempDir;
using testing::Toolkit;

TkErrorInfo LastErrorOf(TkSession session) {
  auto info = MakeRecord<TkErrorInfo>();
  EXPECT_EQ(TkGetLastError(session, &info), TK_OK);
  return info;
}

int32_t SearchStatus(TkSession session, const char* query) {
  auto args = MakeRecord<TkSearchArgs>();
  args.query = query;
  args.param48 = TK_SEARCH_PARAM48;
  TkSearchHandle search = 0;
  int32_t status = TkSearch(session, &search, &args);
  if (search) TkFreeSearch(search);
  return status;
}

// True when every byte sequence of `text` is a whole, well-formed UTF-8 character.
bool IsWholeUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = lead < 0x80           ? 1
                    : (lead >> 5) == 0x6  ? 2
                    : (lead >> 4) == 0xE  ? 3
                    : (lead >> 3) == 0x1E ? 4
                                          : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

struct QueryErrorCase {
  const char* query;
  int32_t status;
  int32_t column;       // counted in characters, not bytes
  const char* culprit;  // quoted in the text
};

TEST(LastErrorTest, QueryErrorGivesTheQueryLanguagesTextAndColumn) {
  TempDir dir;
  Toolkit toolkit(dir / "coll");
  ASSERT_TK_OK(toolkit.openStatus());
  const QueryErrorCase cases[] = {
      {"print <AND>", TK_E_QUERY_MISSING_OPERAND, 7, "<AND>"},
      {"<OR> print", TK_E_QUERY_MISSING_OPERAND, 1, "<OR>"},
      // Two-byte characters before the culprit: the column counts them once each.
      {"été café <FOO> x", TK_E_QUERY_UNKNOWN_OPERATOR, 10, "<FOO>"},
      {"colour <NEAR/99> print", TK_E_QUERY_BAD_OPERATOR_ARGUMENT, 8, "<NEAR/99>"},
  };
  for (const QueryErrorCase& c : cases) {
    SCOPED_TRACE(c.query);
    ASSERT_EQ(SearchStatus(toolkit.session(), c.query), c.status);
    TkErrorInfo info = LastErrorOf(toolkit.session());
    EXPECT_EQ(info.status, c.status);
    EXPECT_EQ(info.column, c.column);
    std::string text = info.text;
    EXPECT_NE(text.find(c.culprit), std::string::npos) << text;
    EXPECT_EQ(text.rfind("searching", 0), std::string::npos) << "no prefix for query errors";
  }
  SearchStatus(toolkit.session(), "print <AND>");
  EXPECT_NE(std::string(LastErrorOf(toolkit.session()).text).find("operator without an operand"),
            std::string::npos);
}

TEST(LastErrorTest, SuccessClearsAndEachSessionKeepsItsOwn) {
  TempDir dir;
  Toolkit first(dir / "one");
  Toolkit second(dir / "two");
  ASSERT_TK_OK(first.openStatus());
  ASSERT_TK_OK(second.openStatus());
  ASSERT_EQ(SearchStatus(first.session(), "a <AND>"), TK_E_QUERY_MISSING_OPERAND);
  // A failure of an operation on a collection lands in the session that opened it.
  auto submit = MakeRecord<TkSubmitArgs>();
  submit.operation = 9;
  ASSERT_EQ(TkSubmit(second.collection(), &submit), TK_E_BAD_OPERATION);
  EXPECT_EQ(LastErrorOf(first.session()).status, TK_E_QUERY_MISSING_OPERAND);
  TkErrorInfo other = LastErrorOf(second.session());
  EXPECT_EQ(other.status, TK_E_BAD_OPERATION);
  EXPECT_EQ(other.column, 0);
  EXPECT_STRNE(other.text, "");
  // Reading the record changes nothing.
  EXPECT_EQ(LastErrorOf(second.session()).status, TK_E_BAD_OPERATION);

  ASSERT_TK_OK(SearchStatus(first.session(), "anything"));
  TkErrorInfo cleared = LastErrorOf(first.session());
  EXPECT_EQ(cleared.status, TK_OK);
  EXPECT_EQ(cleared.column, 0);
  EXPECT_STREQ(cleared.text, "");
  submit.operation = TK_SUBMIT_ADD;
  ASSERT_TK_OK(TkSubmit(second.collection(), &submit));
  EXPECT_EQ(LastErrorOf(second.session()).status, TK_OK);
}

TEST(LastErrorTest, BadHandlesAndFilesAreDescribed) {
  TempDir dir;
  Toolkit toolkit(dir / "coll");
  ASSERT_TK_OK(toolkit.openStatus());
  auto batch = MakeRecord<TkDocBatchArgs>();
  batch.search = 0xDEADBEEF;
  TkDocBatch* docs = nullptr;
  ASSERT_EQ(TkReadDocBatch(toolkit.session(), &batch, &docs), TK_E_BAD_HANDLE);
  TkErrorInfo info = LastErrorOf(toolkit.session());
  EXPECT_EQ(info.status, TK_E_BAD_HANDLE);
  EXPECT_NE(std::string(info.text).find("reading documents: "), std::string::npos) << info.text;

  std::string missing = dir / "nowhere";
  auto open = MakeRecord<TkCollectionArgs>();
  open.path = missing.c_str();
  open.mode = TK_COLLECTION_OPEN;
  TkCollection collection = 0;
  ASSERT_EQ(TkOpenCollection(toolkit.session(), &collection, &open), TK_E_NO_COLLECTION);
  info = LastErrorOf(toolkit.session());
  EXPECT_EQ(info.status, TK_E_NO_COLLECTION);
  std::string text = info.text;
  EXPECT_EQ(text.rfind("opening the collection", 0), 0u) << text;
  EXPECT_NE(text.find(missing), std::string::npos) << "names the path: " << text;
}

TEST(LastErrorTest, LongTextIsCutAtACharacterBoundary) {
  TempDir dir;
  Toolkit toolkit(dir / "coll");
  ASSERT_TK_OK(toolkit.openStatus());
  std::string accents;
  for (int i = 0; i < 200; ++i) accents += "\xC3\xA9";  // é, two bytes each
  // One of the two paths puts a character across the record's last byte.
  for (const char* shift : {"", "x"}) {
    std::string path = dir / (std::string(shift) + accents);
    auto open = MakeRecord<TkCollectionArgs>();
    open.path = path.c_str();
    open.mode = TK_COLLECTION_OPEN;
    TkCollection collection = 0;
    ASSERT_EQ(TkOpenCollection(toolkit.session(), &collection, &open), TK_E_NO_COLLECTION);
    TkErrorInfo info = LastErrorOf(toolkit.session());
    size_t length = strnlen(info.text, sizeof info.text);
    ASSERT_LT(length, sizeof info.text) << "NUL-terminated";
    EXPECT_GE(length, sizeof info.text - 4) << "cut at the limit, not before";
    EXPECT_TRUE(IsWholeUtf8(std::string(info.text, length))) << shift;
  }
}

TEST(LastErrorTest, ArgumentChecks) {
  TempDir dir;
  Toolkit toolkit(dir / "coll");
  ASSERT_TK_OK(toolkit.openStatus());
  EXPECT_EQ(TkGetLastError(toolkit.session(), nullptr), TK_E_BAD_ARGUMENT);
  auto info = MakeRecord<TkErrorInfo>();
  info.version = TK_VERSION + 1;
  EXPECT_EQ(TkGetLastError(toolkit.session(), &info), TK_E_BAD_RECORD);
  info = MakeRecord<TkErrorInfo>();
  EXPECT_EQ(TkGetLastError(toolkit.collection(), &info), TK_E_BAD_HANDLE);
  EXPECT_EQ(TkGetLastError(0, &info), TK_E_BAD_HANDLE);
}

}  // namespace
}  // namespace dizode
