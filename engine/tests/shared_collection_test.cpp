// @brief Two processes share one collection: one searches in a loop while the other submits,
// and no search fails.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "toolkit_fixture.h"

namespace dizode {
namespace {

using testing::Row;
using testing::TempDir;
using testing::Toolkit;
using testing::WritePage;

// Runs in the child: searches and refreshes until the parent closes `stopFd`; exits with the
// number of failed operations (capped) so the parent can check it.
[[noreturn]] void SearchUntilStopped(const std::string& collection, int readyFd, int stopFd) {
  int failures = 0;
  fcntl(stopFd, F_SETFL, O_NONBLOCK);
  {
    Toolkit toolkit(collection, TK_COLLECTION_OPEN);
    if (toolkit.openStatus() != TK_OK) _exit(100);
    char ready = 1;
    (void)!write(readyFd, &ready, 1);
    for (;;) {
      std::vector<Row> rows;
      if (toolkit.Search("shared", rows) != TK_OK) ++failures;
      auto request = testing::MakeRecord<TkCollectionRequestArgs>();
      request.request = TK_REQUEST_REFRESH;
      TkCollectionReply reply = 0;
      if (TkQueryCollection(toolkit.collection(), &request, &reply) != TK_OK) ++failures;
      TkFreeCollectionReply(reply);
      char byte;
      // The parent closes its end when done: read returns 0 then (and fails with EAGAIN
      // before, since the end does not block).
      if (read(stopFd, &byte, 1) == 0) break;
    }
  }
  _exit(failures > 99 ? 99 : failures);
}

TEST(SharedCollectionTest, SearchesNeverFailWhileAnotherProcessSubmits) {
  TempDir dir;
  std::string collection = dir / "coll";
  Toolkit writer(collection);
  ASSERT_TK_OK(writer.Submit(TK_SUBMIT_ADD, {WritePage(dir, "seed.htm", "Seed", "shared")}));

  int ready[2], stop[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(stop), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(ready[0]);
    close(stop[1]);
    SearchUntilStopped(collection, ready[1], stop[0]);
  }
  close(ready[1]);
  close(stop[0]);
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);

  for (int round = 0; round < 10; ++round) {
    std::vector<std::string> batch;
    for (int i = 0; i < 40; ++i) {
      std::string name = "r" + std::to_string(round) + "_" + std::to_string(i) + ".htm";
      batch.push_back(WritePage(dir, name, "Page", "shared text of round " + name));
    }
    ASSERT_TK_OK(writer.Submit(TK_SUBMIT_ADD, batch));
    if (round % 3 == 2) ASSERT_TK_OK(writer.Submit(TK_SUBMIT_DELETE, {batch[0], batch[1]}));
  }
  close(stop[1]);
  close(ready[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "failed searches in the reading process";
}

}  // namespace
}  // namespace dizode
