// @brief Submissions in a process that may open only a few more files: each one reports a
// failure and leaves the collection as it was, or reports success and every page is searchable.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>

#include "fault_fixture.h"

namespace dizode {
namespace {

using testing::FreshFind;
using testing::TempDir;
using testing::Toolkit;
using testing::WriteBatch;
using testing::WriteFile;

// Closes every descriptor above the standard three, those inherited included, so that the
// next ones opened take the lowest numbers and a limit counts exactly the files opened later.
void CloseAllButStandardDescriptors() {
  std::vector<int> open;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    open.push_back(std::stoi(entry.path().filename().string()));
  }
  for (int fd : open) {
    if (fd > 2) ::close(fd);
  }
}

// The child: with room for `spare` more descriptors, opens the collection of plan.txt and adds
// the pages of batch.txt; writes both statuses to result.txt, opened before the limit.
int SubmitWithFewFiles(const std::string& dir) {
  std::string collection;
  int spare = 0;
  std::vector<std::string> keys;
  {
    std::ifstream plan(dir + "/plan.txt");
    plan >> collection >> spare;
    std::ifstream list(dir + "/batch.txt");
    for (std::string key; std::getline(list, key);) keys.push_back(key);
  }
  CloseAllButStandardDescriptors();
  std::FILE* result = std::fopen((dir + "/result.txt").c_str(), "w");
  if (!result) return 2;

  rlimit current{};
  getrlimit(RLIMIT_NOFILE, &current);
  rlimit lowered{static_cast<rlim_t>(::fileno(result) + 1 + spare), current.rlim_max};
  if (setrlimit(RLIMIT_NOFILE, &lowered) != 0) return 3;

  int32_t submitted = TK_E_NOT_OPEN;
  Toolkit toolkit(collection, TK_COLLECTION_OPEN);
  if (toolkit.openStatus() == TK_OK) submitted = toolkit.Submit(TK_SUBMIT_ADD, keys);
  std::fprintf(result, "%d %d\n", toolkit.openStatus(), submitted);
  return std::fclose(result) == 0 ? 0 : 4;
}

const bool kChild = testing::RegisterChild("file-limit-submit", SubmitWithFewFiles);

#ifdef __SANITIZE_ADDRESS__
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// What one child did with room for `spare` more files, and what a fresh session then found.
struct Outcome {
  int spare = 0;
  int32_t opened = TK_OK, submitted = TK_OK;
  std::vector<std::string> batch;
  std::optional<std::vector<std::string>> batchFound, keptFound;
};

// One collection, and one child per limit, from too few files to open the collection to
// plenty; every child adds pages of its own word.
class FileLimitTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_dir = new TempDir;
    if (kSanitized) return;
    const std::string collection = *s_dir / "coll";
    s_kept = WriteBatch(*s_dir, "kept", 4);
    Toolkit toolkit(collection);
    if (toolkit.openStatus() != TK_OK || toolkit.Submit(TK_SUBMIT_ADD, s_kept) != TK_OK) return;
    for (int spare : {0, 1, 2, 3, 4, 5, 6, 8, 12, 24, 256}) {
      Outcome outcome;
      outcome.spare = spare;
      const std::string word = "limit" + std::string(1, static_cast<char>('a' + spare % 26));
      outcome.batch = WriteBatch(*s_dir, word + std::to_string(spare), 6);
      std::string list;
      for (const std::string& key : outcome.batch) list += key + "\n";
      WriteFile(*s_dir / "batch.txt", list);
      WriteFile(*s_dir / "plan.txt", collection + " " + std::to_string(spare));
      std::filesystem::remove(*s_dir / "result.txt");
      if (!testing::RunChild("file-limit-submit", s_dir->path())) return;  // a crash
      std::ifstream result(*s_dir / "result.txt");
      if (!(result >> outcome.opened >> outcome.submitted)) return;
      outcome.batchFound = FreshFind(collection, word + std::to_string(spare));
      outcome.keptFound = FreshFind(collection, "kept");
      s_outcomes.push_back(outcome);
    }
  }
  static void TearDownTestSuite() {
    delete s_dir;
    s_outcomes.clear();
  }
  void SetUp() override {
    if (kSanitized) {
      GTEST_SKIP() << "the sanitizers check memory through descriptors of their own, and report "
                      "every object as invalid once none is left";
    }
    ASSERT_EQ(s_outcomes.size(), 11u) << "a child crashed or failed";
  }

  static TempDir* s_dir;
  static std::vector<std::string> s_kept;
  static std::vector<Outcome> s_outcomes;
};

TempDir* FileLimitTest::s_dir = nullptr;
std::vector<std::string> FileLimitTest::s_kept;
std::vector<Outcome> FileLimitTest::s_outcomes;

std::string Describe(const Outcome& outcome) {
  return "room for " + std::to_string(outcome.spare) + " more files: open " +
         std::to_string(outcome.opened) + ", submit " + std::to_string(outcome.submitted);
}

TEST_F(FileLimitTest, EveryLimitKeepsTheCommittedPagesAndFailuresChangeNothing) {
  int failures = 0;
  for (const Outcome& outcome : s_outcomes) {
    EXPECT_EQ(outcome.keptFound, s_kept) << Describe(outcome);
    EXPECT_NE(std::string(TkStatusText(outcome.submitted)), "unknown status");
    if (outcome.submitted != TK_OK) {
      ++failures;
      EXPECT_EQ(outcome.batchFound, std::vector<std::string>{}) << Describe(outcome);
    }
  }
  // The limits reach from too few files for anything to enough for everything.
  EXPECT_GT(failures, 0);
  EXPECT_EQ(s_outcomes.back().submitted, TK_OK);
}

// With room for the database's files but not for a page, the submission must fail rather
// than keep each page without its text.
TEST_F(FileLimitTest, ASuccessfulSubmissionMakesEveryPageSearchable) {
  for (const Outcome& outcome : s_outcomes) {
    if (outcome.submitted == TK_OK) {
      EXPECT_EQ(outcome.batchFound, outcome.batch) << Describe(outcome);
    }
  }
}

// Hosts rebuild a corrupt collection, so a lack of descriptors reported as corruption would
// cost the index.
TEST_F(FileLimitTest, TooFewFilesAreNotReportedAsACorruptCollection) {
  for (const Outcome& outcome : s_outcomes) {
    EXPECT_NE(outcome.opened, TK_E_CORRUPT) << Describe(outcome);
  }
}

}  // namespace
}  // namespace dizode
