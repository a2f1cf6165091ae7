// @brief A submission killed at any point leaves the collection exactly as the last committed
// submission left it, and the index passes its own integrity check.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <set>

#include "store.h"
#include "toolkit_fixture.h"

namespace dizode {
namespace {

using testing::TempDir;
using testing::Toolkit;
using testing::WritePage;

constexpr int kIterations = 20;
constexpr int kBatch = 120;

// Writes the file descriptor of the context once the submission reaches its document.
struct KillPoint {
  int fd;
  int document;
  int seen = 0;
};

void SignalAtDocument(void* context, const TkStatusMessage* message) {
  auto* point = static_cast<KillPoint*>(context);
  if (message->text[0] == 'D' && ++point->seen == point->document) {
    char byte = 1;
    (void)!write(point->fd, &byte, 1);
  }
}

// In a child: submits the batch, reporting the kill point through `fd`; never returns.
[[noreturn]] void SubmitInChild(const std::string& collection,
                                const std::vector<std::string>& batch, int fd, int document) {
  KillPoint point{fd, document};
  int status;
  {
    Toolkit toolkit(collection, TK_COLLECTION_OPEN, SignalAtDocument, &point);
    status = toolkit.openStatus() == TK_OK ? toolkit.Submit(TK_SUBMIT_ADD, batch) : 99;
  }
  char done = 2;
  (void)!write(fd, &done, 1);
  _exit(status == TK_OK ? 0 : 1);
}

std::set<std::string> StoredKeys(const std::string& collection, int64_t* ftsRows) {
  auto store = Store::Open(collection);
  store->db().Exec("INSERT INTO fts(fts) VALUES('integrity-check')", "integrity-check");
  std::set<std::string> keys;
  Stmt rows(store->db().get(), "SELECT key FROM pages");
  while (rows.Step()) keys.insert(rows.Text(0));
  Stmt count(store->db().get(), "SELECT count(*) FROM fts");
  count.Step();
  *ftsRows = count.Int(0);
  return keys;
}

TEST(CrashTest, KilledSubmissionLeavesLastCommittedState) {
  TempDir dir;
  std::string collection = dir / "coll";
  { Toolkit create(collection); }
  std::mt19937 random(20261207);
  std::set<std::string> committed;
  int commits = 0, kills = 0;
  for (int round = 0; round < kIterations; ++round) {
    std::vector<std::string> batch;
    for (int i = 0; i < kBatch; ++i) {
      std::string name = "r" + std::to_string(round) + "p" + std::to_string(i) + ".htm";
      batch.push_back(WritePage(dir, name, "Round " + std::to_string(round),
                                "words for round " + std::to_string(round) + " page " + name));
    }
    // Some rounds run to the end; the others are killed after a random document.
    int document = round % 4 == 3 ? 0 : std::uniform_int_distribution<int>(1, kBatch)(random);
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(fds[0]);
      SubmitInChild(collection, batch, fds[1], document);
    }
    close(fds[1]);
    char byte = 0;
    ASSERT_EQ(read(fds[0], &byte, 1), 1) << "the child reports its kill point or its end";
    if (byte == 1) {
      kill(child, SIGKILL);
      ++kills;
    }
    close(fds[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (WIFEXITED(status)) {
      EXPECT_EQ(WEXITSTATUS(status), 0) << "round " << round;
    }

    int64_t ftsRows = 0;
    std::set<std::string> keys = StoredKeys(collection, &ftsRows);
    std::set<std::string> after = committed;
    after.insert(batch.begin(), batch.end());
    EXPECT_EQ(ftsRows, static_cast<int64_t>(keys.size())) << "round " << round;
    if (keys == after) {
      committed = after;
      ++commits;
    } else {
      EXPECT_EQ(keys, committed) << "round " << round << ": a partial submission is visible";
    }
  }
  EXPECT_GT(kills, 0);
  EXPECT_GE(commits, kIterations / 4) << "every round left to finish commits";
}

}  // namespace
}  // namespace dizode
