// @brief Two processes share one collection: one searches in a loop while the other submits,
// and no search fails.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "toolkit_fixture.h"

namespace dizode {
namespace {

using testing::Row;
using testing::TempDir;
using testing::Toolkit;
using testing::WriteFile;
using testing::WritePage;

// The child: searches and refreshes the collection in `dir` until the parent leaves a stop
// file, then reports its counts in a result file. Fails when any operation failed.
int SearchUntilStopped(const std::string& dir) {
  int failures = 0, searches = 0;
  {
    Toolkit toolkit(dir + "/coll", TK_COLLECTION_OPEN);
    if (toolkit.openStatus() != TK_OK) return 2;
    WriteFile(dir + "/ready", "");
    while (!std::filesystem::exists(dir + "/stop")) {
      std::vector<Row> rows;
      if (toolkit.Search("shared", rows) != TK_OK || rows.empty()) ++failures;
      auto request = testing::MakeRecord<TkCollectionRequestArgs>();
      request.request = TK_REQUEST_REFRESH;
      TkCollectionReply reply = 0;
      if (TkQueryCollection(toolkit.collection(), &request, &reply) != TK_OK) ++failures;
      TkFreeCollectionReply(reply);
      ++searches;
    }
  }
  WriteFile(dir + "/result", std::to_string(failures) + " " + std::to_string(searches));
  return failures == 0 ? 0 : 1;
}

const bool kChild = testing::RegisterChild("search-loop", SearchUntilStopped);

TEST(SharedCollectionTest, SearchesNeverFailWhileAnotherProcessSubmits) {
  TempDir dir;
  Toolkit writer(dir / "coll");
  ASSERT_TK_OK(writer.Submit(TK_SUBMIT_ADD, {WritePage(dir, "seed.htm", "Seed", "shared")}));

  bool childPassed = false;
  std::thread child([&] { childPassed = testing::RunChild("search-loop", dir.path()); });
  // Wait (with a generous bound) until the reader runs, so the submissions overlap its loop.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!std::filesystem::exists(dir / "ready") && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));

  for (int round = 0; round < 10; ++round) {
    std::vector<std::string> batch;
    for (int i = 0; i < 40; ++i) {
      std::string name = "r" + std::to_string(round) + "_" + std::to_string(i) + ".htm";
      batch.push_back(WritePage(dir, name, "Page", "shared text of round " + name));
    }
    EXPECT_EQ(writer.Submit(TK_SUBMIT_ADD, batch), TK_OK);
    if (round % 3 == 2) {
      EXPECT_EQ(writer.Submit(TK_SUBMIT_DELETE, {batch[0], batch[1]}), TK_OK);
    }
  }
  WriteFile(dir / "stop", "");
  child.join();
  int failures = -1, searches = 0;
  std::ifstream(dir / "result") >> failures >> searches;
  EXPECT_TRUE(childPassed);
  EXPECT_EQ(failures, 0);
  EXPECT_GT(searches, 0);
}

}  // namespace
}  // namespace dizode
