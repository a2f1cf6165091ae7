// @brief A submission killed at any point leaves the collection exactly as the last committed
// submission left it, and the index passes its own integrity check.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <random>
#include <set>
#include <thread>

#include "store.h"
#include "toolkit_fixture.h"

namespace dizode {
namespace {

using testing::TempDir;
using testing::Toolkit;
using testing::WriteFile;
using testing::WritePage;

constexpr int kIterations = 20;
constexpr int kBatch = 120;
constexpr int kCrashStatus = 3;

// Ends the process on the spot, like a kill: no destructor, no rollback, no flush.
void ExitAtDocument(void* context, const TkStatusMessage* message) {
  auto* remaining = static_cast<long*>(context);
  if (message->text[0] == 'D' && --*remaining == 0) std::_Exit(kCrashStatus);
}

// The child: submits the keys of batch.txt to the collection of plan.txt, and dies at the
// document or after the delay (in microseconds) that the plan names.
int SubmitAndDie(const std::string& dir) {
  std::ifstream plan(dir + "/plan.txt");
  std::string collection, how;
  long value = 0;
  plan >> collection >> how >> value;
  std::vector<std::string> keys;
  std::ifstream list(dir + "/batch.txt");
  for (std::string key; std::getline(list, key);) keys.push_back(key);
  if (how == "delay") {
    std::thread([value] {
      std::this_thread::sleep_for(std::chrono::microseconds(value));
      std::_Exit(kCrashStatus);
    }).detach();
  }
  Toolkit toolkit(collection, TK_COLLECTION_OPEN, how == "document" ? ExitAtDocument : nullptr,
                  &value);
  return toolkit.openStatus() == TK_OK && toolkit.Submit(TK_SUBMIT_ADD, keys) == TK_OK ? 0 : 1;
}

// Registered before main, as the child process looks its body up by name.
// NOLINTNEXTLINE(cert-err58-cpp)
const bool kChild = testing::RegisterChild("crash-submit", SubmitAndDie);

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
  {
    Toolkit create(collection);
    ASSERT_TK_OK(create.Submit(TK_SUBMIT_ADD, {}));  // an empty collection
  }
  std::mt19937 random(20261207);
  std::set<std::string> committed;
  int crashes = 0;
  long fullRunMicros = 1000;
  for (int round = 0; round < kIterations; ++round) {
    std::string batchList;
    std::vector<std::string> batch;
    for (int i = 0; i < kBatch; ++i) {
      std::string name = "r" + std::to_string(round) + "p" + std::to_string(i) + ".htm";
      batch.push_back(WritePage(dir, name, "Round " + std::to_string(round),
                                "words for round " + std::to_string(round) + " page " + name));
      batchList += batch.back() + "\n";
    }
    WriteFile(dir / "batch.txt", batchList);
    // Every fourth round runs to its end; the others die after a random document, or after a
    // random delay that may fall anywhere, the commit included.
    std::string plan = collection + " none 0";
    if (round % 4 == 1 || round % 4 == 3)
      plan = collection + " document " +
             std::to_string(std::uniform_int_distribution<int>(1, kBatch)(random));
    if (round % 4 == 2)
      plan = collection + " delay " +
             std::to_string(std::uniform_int_distribution<long>(0, fullRunMicros)(random));
    WriteFile(dir / "plan.txt", plan);

    auto start = std::chrono::steady_clock::now();
    bool completed = testing::RunChild("crash-submit", dir.path());
    if (round % 4 == 0) {
      ASSERT_TRUE(completed) << "round " << round << " runs to its end";
      fullRunMicros = std::chrono::duration_cast<std::chrono::microseconds>(
                          std::chrono::steady_clock::now() - start)
                          .count();
    }
    crashes += completed ? 0 : 1;

    int64_t ftsRows = 0;
    std::set<std::string> keys = StoredKeys(collection, &ftsRows);
    std::set<std::string> after = committed;
    after.insert(batch.begin(), batch.end());
    EXPECT_EQ(ftsRows, static_cast<int64_t>(keys.size())) << "round " << round;
    if (completed) {
      EXPECT_EQ(keys, after) << "round " << round;
    }
    if (keys == after) {
      committed = after;
    } else {
      EXPECT_EQ(keys, committed) << "round " << round << ": a partial submission is visible";
    }
  }
  EXPECT_GE(crashes, kIterations / 2);
  EXPECT_GE(committed.size(), static_cast<size_t>(kBatch * kIterations / 4));
}

}  // namespace
}  // namespace dizode
