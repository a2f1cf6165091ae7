// @brief Every exported operation's failure roads: null pointers, bad records, bad handles.
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "dizode/dizode.h"
#include "registry.h"
#include "toolkit_fixture.h"

namespace dizode {
namespace {

using testing::MakeRecord;
using testing::TempDir;
using testing::Toolkit;
using testing::WritePage;

TEST(StatusTextTest, EveryCodeHasItsOwnText) {
  std::set<std::string> texts;
  const int32_t codes[] = {TK_OK,
                           TK_E_BAD_ARGUMENT,
                           TK_E_BAD_RECORD,
                           TK_E_BAD_HANDLE,
                           TK_E_NO_COLLECTION,
                           TK_E_CORRUPT,
                           TK_E_IO,
                           TK_E_BUSY,
                           TK_E_NO_MEMORY,
                           TK_E_INTERNAL,
                           TK_E_TIMEOUT,
                           TK_E_NOT_OPEN,
                           TK_E_BAD_MODE,
                           TK_E_BAD_OPERATION,
                           TK_E_CREATE_FAILED,
                           TK_E_READ_ONLY,
                           TK_E_QUERY_UNKNOWN_OPERATOR,
                           TK_E_QUERY_BAD_OPERATOR_ARGUMENT,
                           TK_E_QUERY_MISSING_OPERAND,
                           TK_E_QUERY_UNKNOWN_FIELD,
                           TK_E_QUERY_MISSING_FIELD,
                           TK_E_QUERY_FIELD_CONFLICT,
                           TK_E_QUERY_NEAR_OPERAND,
                           TK_E_QUERY_TOO_COMPLEX,
                           TK_E_QUERY_INTERNAL};
  for (int32_t code : codes) {
    std::string text = TkStatusText(code);
    EXPECT_NE(text, "unknown status") << code;
    EXPECT_TRUE(texts.insert(text).second) << "duplicate text for " << code;
  }
  EXPECT_STREQ(TkStatusText(-999), "unknown status");
}

// Records with a wrong size or version, for each operation that takes one.
TEST(RecordCheckTest, WrongSizeOrVersionIsBadRecord) {
  TempDir dir;
  Toolkit toolkit(dir / "coll");
  ASSERT_TK_OK(toolkit.openStatus());
  for (int variant = 0; variant < 2; ++variant) {
    auto spoil = [variant](auto& record) {
      if (variant == 0)
        record.size = static_cast<uint16_t>(record.size - 4);
      else
        record.version = TK_VERSION + 1;
    };
    auto session = MakeRecord<TkSessionArgs>();
    spoil(session);
    TkSession s = 123;
    EXPECT_EQ(TkOpenSession(&s, &session), TK_E_BAD_RECORD);
    EXPECT_EQ(s, 0u);

    auto open = MakeRecord<TkCollectionArgs>();
    open.path = "x";
    open.mode = TK_COLLECTION_OPEN;
    spoil(open);
    TkCollection c = 5;
    EXPECT_EQ(TkOpenCollection(toolkit.session(), &c, &open), TK_E_BAD_RECORD);
    EXPECT_EQ(c, 0u);

    auto request = MakeRecord<TkCollectionRequestArgs>();
    request.request = TK_REQUEST_REFRESH;
    spoil(request);
    TkCollectionReply reply = 7;
    EXPECT_EQ(TkQueryCollection(toolkit.collection(), &request, &reply), TK_E_BAD_RECORD);
    EXPECT_EQ(reply, 0u);

    auto submit = MakeRecord<TkSubmitArgs>();
    submit.operation = TK_SUBMIT_ADD;
    spoil(submit);
    EXPECT_EQ(TkSubmit(toolkit.collection(), &submit), TK_E_BAD_RECORD);

    auto search = MakeRecord<TkSearchArgs>();
    spoil(search);
    TkSearchHandle h = 9;
    EXPECT_EQ(TkSearch(toolkit.session(), &h, &search), TK_E_BAD_RECORD);
    EXPECT_EQ(h, 0u);

    auto good = MakeRecord<TkSearchArgs>();
    ASSERT_TK_OK(TkSearch(toolkit.session(), &h, &good));
    auto info = MakeRecord<TkSearchInfoArgs>();
    spoil(info);
    TkSearchInfo* reply2 = nullptr;
    EXPECT_EQ(TkGetSearchInfo(h, &info, &reply2), TK_E_BAD_RECORD);
    EXPECT_EQ(reply2, nullptr);

    auto batch = MakeRecord<TkDocBatchArgs>();
    batch.search = h;
    spoil(batch);
    TkDocBatch* docs = nullptr;
    EXPECT_EQ(TkReadDocBatch(toolkit.session(), &batch, &docs), TK_E_BAD_RECORD);
    EXPECT_EQ(docs, nullptr);
    ASSERT_TK_OK(TkFreeSearch(h));
  }
}

TEST(NullPointerTest, EveryOutAndRecordPointerIsChecked) {
  TempDir dir;
  Toolkit toolkit(dir / "coll");
  ASSERT_TK_OK(toolkit.openStatus());
  auto session = MakeRecord<TkSessionArgs>();
  TkSession s;
  EXPECT_EQ(TkOpenSession(nullptr, &session), TK_E_BAD_ARGUMENT);
  EXPECT_EQ(TkOpenSession(&s, nullptr), TK_E_BAD_ARGUMENT);
  auto open = MakeRecord<TkCollectionArgs>();
  open.mode = TK_COLLECTION_OPEN;
  TkCollection c;
  EXPECT_EQ(TkOpenCollection(toolkit.session(), &c, &open), TK_E_BAD_ARGUMENT) << "null path";
  EXPECT_EQ(TkOpenCollection(toolkit.session(), nullptr, &open), TK_E_BAD_ARGUMENT);
  auto request = MakeRecord<TkCollectionRequestArgs>();
  request.request = TK_REQUEST_REFRESH;
  EXPECT_EQ(TkQueryCollection(toolkit.collection(), &request, nullptr), TK_E_BAD_ARGUMENT);
  EXPECT_EQ(TkSubmit(toolkit.collection(), nullptr), TK_E_BAD_ARGUMENT);
  auto search = MakeRecord<TkSearchArgs>();
  EXPECT_EQ(TkSearch(toolkit.session(), nullptr, &search), TK_E_BAD_ARGUMENT);
  EXPECT_EQ(TkFreeSearchInfo(nullptr), TK_E_BAD_ARGUMENT);
  EXPECT_EQ(TkFreeDocBatch(nullptr), TK_E_BAD_ARGUMENT);
  TkSearchHandle h;
  ASSERT_TK_OK(TkSearch(toolkit.session(), &h, &search));
  auto info = MakeRecord<TkSearchInfoArgs>();
  EXPECT_EQ(TkGetSearchInfo(h, &info, nullptr), TK_E_BAD_ARGUMENT);
  auto batch = MakeRecord<TkDocBatchArgs>();
  batch.search = h;
  EXPECT_EQ(TkReadDocBatch(toolkit.session(), &batch, nullptr), TK_E_BAD_ARGUMENT);
  batch.fieldCount = 1;  // names missing
  TkDocBatch* docs;
  EXPECT_EQ(TkReadDocBatch(toolkit.session(), &batch, &docs), TK_E_BAD_ARGUMENT);
  TkFreeSearch(h);
}

TEST(HandleTest, StaleForeignAndDoublyFreedHandles) {
  TempDir dir;
  Toolkit toolkit(dir / "coll");
  ASSERT_TK_OK(toolkit.openStatus());
  auto searchArgs = MakeRecord<TkSearchArgs>();
  TkSearchHandle search;
  ASSERT_TK_OK(TkSearch(toolkit.session(), &search, &searchArgs));
  // A session handle where a collection or search belongs is foreign.
  EXPECT_EQ(TkCloseCollection(toolkit.session()), TK_E_BAD_HANDLE);
  EXPECT_EQ(TkFreeSearch(toolkit.collection()), TK_E_BAD_HANDLE);
  EXPECT_EQ(TkCloseSession(search), TK_E_BAD_HANDLE);
  EXPECT_EQ(TkFreeCollectionReply(search), TK_E_BAD_HANDLE);
  EXPECT_EQ(TkCollectionReplyCount(search), -1);
  ASSERT_TK_OK(TkFreeSearch(search));
  EXPECT_EQ(TkFreeSearch(search), TK_E_BAD_HANDLE);
  auto info = MakeRecord<TkSearchInfoArgs>();
  TkSearchInfo* reply;
  EXPECT_EQ(TkGetSearchInfo(search, &info, &reply), TK_E_BAD_HANDLE);
  auto batch = MakeRecord<TkDocBatchArgs>();
  batch.search = search;
  TkDocBatch* docs;
  EXPECT_EQ(TkReadDocBatch(toolkit.session(), &batch, &docs), TK_E_BAD_HANDLE);
  EXPECT_EQ(TkSubmit(0, nullptr), TK_E_BAD_ARGUMENT);
  auto submit = MakeRecord<TkSubmitArgs>();
  submit.operation = TK_SUBMIT_ADD;
  EXPECT_EQ(TkSubmit(0xDEADBEEF, &submit), TK_E_BAD_HANDLE);
}

TEST(HandleTest, RecordsNeverGivenOutOrFreedTwiceAreRefused) {
  TempDir dir;
  Toolkit toolkit(dir / "coll");
  ASSERT_TK_OK(toolkit.openStatus());
  TkSearchInfo fakeInfo{};
  TkDocBatch fakeBatch{};
  EXPECT_EQ(TkFreeSearchInfo(&fakeInfo), TK_E_BAD_HANDLE);
  EXPECT_EQ(TkFreeDocBatch(&fakeBatch), TK_E_BAD_HANDLE);
  auto searchArgs = MakeRecord<TkSearchArgs>();
  TkSearchHandle search;
  ASSERT_TK_OK(TkSearch(toolkit.session(), &search, &searchArgs));
  auto infoArgs = MakeRecord<TkSearchInfoArgs>();
  TkSearchInfo* info;
  ASSERT_TK_OK(TkGetSearchInfo(search, &infoArgs, &info));
  auto batchArgs = MakeRecord<TkDocBatchArgs>();
  batchArgs.search = search;
  TkDocBatch* batch;
  ASSERT_TK_OK(TkReadDocBatch(toolkit.session(), &batchArgs, &batch));
  ASSERT_TK_OK(TkFreeSearch(search));  // records outlive their search
  EXPECT_EQ(info->size, sizeof(TkSearchInfo));
  ASSERT_TK_OK(TkFreeDocBatch(batch));
  ASSERT_TK_OK(TkFreeSearchInfo(info));
  EXPECT_EQ(TkFreeDocBatch(batch), TK_E_BAD_HANDLE);
  EXPECT_EQ(TkFreeSearchInfo(info), TK_E_BAD_HANDLE);
}

TEST(SessionTest, ClosingASessionClosesItsCollectionsAndSearches) {
  TempDir dir;
  auto args = MakeRecord<TkSessionArgs>();
  TkSession session;
  ASSERT_TK_OK(TkOpenSession(&session, &args));
  auto open = MakeRecord<TkCollectionArgs>();
  std::string path = dir / "coll";
  open.path = path.c_str();
  open.mode = TK_COLLECTION_CREATE;
  TkCollection collection;
  ASSERT_TK_OK(TkOpenCollection(session, &collection, &open));
  auto searchArgs = MakeRecord<TkSearchArgs>();
  TkSearchHandle search;
  ASSERT_TK_OK(TkSearch(session, &search, &searchArgs));
  ASSERT_TK_OK(TkCloseSession(session));
  EXPECT_EQ(TkCloseCollection(collection), TK_E_BAD_HANDLE);
  EXPECT_EQ(TkFreeSearch(search), TK_E_BAD_HANDLE);
  EXPECT_EQ(TkCloseSession(session), TK_E_BAD_HANDLE);
  TkSearchHandle another;
  EXPECT_EQ(TkSearch(session, &another, &searchArgs), TK_E_BAD_HANDLE);
}

TEST(SessionTest, SearchNeedsAnOpenCollection) {
  TempDir dir;
  Toolkit toolkit(dir / "coll");
  ASSERT_TK_OK(toolkit.openStatus());
  auto args = MakeRecord<TkSessionArgs>();
  TkSession bare;
  ASSERT_TK_OK(TkOpenSession(&bare, &args));
  auto searchArgs = MakeRecord<TkSearchArgs>();
  TkSearchHandle search;
  EXPECT_EQ(TkSearch(bare, &search, &searchArgs), TK_E_NOT_OPEN);
  // Reading needs the session to have a collection open, whoever made the search.
  ASSERT_TK_OK(TkSearch(toolkit.session(), &search, &searchArgs));
  auto batchArgs = MakeRecord<TkDocBatchArgs>();
  batchArgs.search = search;
  TkDocBatch* batch;
  EXPECT_EQ(TkReadDocBatch(bare, &batchArgs, &batch), TK_E_NOT_OPEN);
  TkFreeSearch(search);
  TkCloseSession(bare);
}

TEST(SessionTest, SearchUsesTheMostRecentlyOpenedCollection) {
  TempDir dir;
  std::string page = WritePage(dir, "a.htm", "A", "alpha");
  Toolkit toolkit(dir / "first");
  ASSERT_TK_OK(toolkit.Submit(TK_SUBMIT_ADD, {page}));
  auto open = MakeRecord<TkCollectionArgs>();
  std::string second = dir / "second";
  open.path = second.c_str();
  open.mode = TK_COLLECTION_CREATE;
  TkCollection other;
  ASSERT_TK_OK(TkOpenCollection(toolkit.session(), &other, &open));
  EXPECT_TRUE(toolkit.Keys().empty());
  ASSERT_TK_OK(TkCloseCollection(other));
  EXPECT_EQ(toolkit.Keys(), std::vector<std::string>{page});
}

TEST(SessionTest, DistinctSessionsWorkFromManyThreadsAtOnce) {
  TempDir dir;
  std::vector<std::string> pages;
  for (int i = 0; i < 6; ++i)
    pages.push_back(WritePage(dir, "p" + std::to_string(i) + ".htm", "Page", "threaded words"));
  constexpr int kThreads = 4;
  std::vector<int> found(kThreads, -1);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 3; ++round) {
        Toolkit toolkit(dir / ("coll" + std::to_string(t)));
        if (toolkit.openStatus() != TK_OK || toolkit.Submit(TK_SUBMIT_ADD, pages) != TK_OK) return;
        std::vector<testing::Row> rows;
        if (toolkit.Search("threaded", rows) != TK_OK) return;
        found[t] = static_cast<int>(rows.size());
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(found, std::vector<int>(kThreads, 6));
}

TEST(QueryCollectionTest, ReplyHoldsDocumentCountAndOtherCodesAreRefused) {
  TempDir dir;
  Toolkit toolkit(dir / "coll");
  std::vector<std::string> pages;
  for (int i = 0; i < 3; ++i)
    pages.push_back(WritePage(dir, "p" + std::to_string(i) + ".htm", "P", "text"));
  ASSERT_TK_OK(toolkit.Submit(TK_SUBMIT_ADD, pages));
  auto request = MakeRecord<TkCollectionRequestArgs>();
  request.request = TK_REQUEST_REFRESH;
  TkCollectionReply reply;
  ASSERT_TK_OK(TkQueryCollection(toolkit.collection(), &request, &reply));
  EXPECT_EQ(TkCollectionReplyCount(reply), 3);
  ASSERT_TK_OK(TkFreeCollectionReply(reply));
  EXPECT_EQ(TkFreeCollectionReply(reply), TK_E_BAD_HANDLE);
  EXPECT_EQ(TkCollectionReplyCount(reply), -1);
  request.request = 12;
  EXPECT_EQ(TkQueryCollection(toolkit.collection(), &request, &reply), TK_E_BAD_MODE);
  EXPECT_EQ(reply, 0u);
}

TEST(SubmitArgumentTest, BadOperationCountAndKeys) {
  TempDir dir;
  Toolkit toolkit(dir / "coll");
  auto args = MakeRecord<TkSubmitArgs>();
  args.operation = 4;
  EXPECT_EQ(TkSubmit(toolkit.collection(), &args), TK_E_BAD_OPERATION);
  args.operation = TK_SUBMIT_ADD;
  args.count = -1;
  EXPECT_EQ(TkSubmit(toolkit.collection(), &args), TK_E_BAD_ARGUMENT);
  args.count = 2;
  EXPECT_EQ(TkSubmit(toolkit.collection(), &args), TK_E_BAD_ARGUMENT) << "null key array";
  char* keys[] = {const_cast<char*>("/x.htm"), nullptr};
  args.keys = keys;
  EXPECT_EQ(TkSubmit(toolkit.collection(), &args), TK_E_BAD_ARGUMENT) << "null key";
  args.count = 0;
  EXPECT_EQ(TkSubmit(toolkit.collection(), &args), TK_OK) << "an empty submission is fine";
}

}  // namespace
}  // namespace dizode
