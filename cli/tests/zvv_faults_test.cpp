// End to end: zvv index when the file system fails under the collection. A failure is
// reported with a non-zero exit and a message, the index built before it keeps answering, and
// a damaged collection is built again.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

#include "cli/tests/support/zvv_process.h"

namespace zvv::testing {
namespace {

namespace fs = std::filesystem;

fs::path CollectionFile(const TempApp& app) {
  return app.Root() / "dizode/collections/Searchable Help/file/collection.db";
}

class ZvvFaults : public ::testing::Test {
 protected:
  ZvvFaults() {
    for (int n = 0; n < 4; ++n) {
      m_app.AddPage("kept" + std::to_string(n) + ".htm", "Kept page", "the keepsake text");
    }
  }

  RunResult Zvv(std::vector<std::string> args) {
    args.insert(args.begin(), {"--install-dir", m_app.Root().string(), "--no-ui"});
    return RunZvv(args);
  }

  // The index answers the kept pages' word with all of them.
  void ExpectKeptPagesFound() {
    const RunResult found = Zvv({"keepsake"});
    ASSERT_EQ(found.m_exitCode, 0) << found.m_err;
    EXPECT_EQ(Lines(found.m_out).back(), "4 hits") << found.m_out;
  }

  TempApp m_app;
};

// Disabled until damage that opening does not notice is found and rebuilt: with seed 5 the
// update stores a page a second time and the search lists it twice; with seed 25 the index is
// not rebuilt and every search fails on a malformed database.
TEST_F(ZvvFaults, DISABLED_ADamagedCollectionIsBuiltAgainByTheNextIndex) {
  ASSERT_EQ(Zvv({"index"}).m_exitCode, 0);
  std::ifstream in(CollectionFile(m_app), std::ios::binary);
  const std::string original{std::istreambuf_iterator<char>(in), {}};
  ASSERT_GT(original.size(), 4096u);
  for (uint32_t seed = 1; seed <= 30; ++seed) {
    std::mt19937 random(seed);
    std::string damaged = original;
    std::string where;
    for (int place = 0; place < 3; ++place) {
      const size_t at = std::uniform_int_distribution<size_t>(0, damaged.size() - 16)(random);
      for (size_t i = at; i < at + 16; ++i) damaged[i] = static_cast<char>(random());
      where += " 16@" + std::to_string(at);
    }
    std::ofstream(CollectionFile(m_app), std::ios::binary | std::ios::trunc) << damaged;
    SCOPED_TRACE("seed " + std::to_string(seed) + ", damaged" + where);

    const RunResult indexed = Zvv({"index"});
    if (indexed.m_exitCode != 0) {
      EXPECT_FALSE(indexed.m_err.empty());
    }
    ExpectKeptPagesFound();
  }
}

TEST_F(ZvvFaults, AnIndexThatRunsOutOfSpaceFailsAndThePreviousIndexStillAnswers) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
  const fs::path disk = m_app.Root() / "dizode";
  fs::create_directory(disk);
  if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=300k") != 0) {
    GTEST_SKIP() << "mounting a small file system was refused: " << std::strerror(errno);
  }
  struct Unmount {
    std::string path;
    ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
  } unmount{disk.string()};

  ASSERT_EQ(Zvv({"index"}).m_exitCode, 0);
  std::string body;
  for (int w = 0; w < 300; ++w) body += " bulky" + std::to_string(w);
  for (int n = 0; n < 300; ++n)
    m_app.AddPage("large/p" + std::to_string(n) + ".htm", "Large", body);

  const RunResult full = Zvv({"index"});
  EXPECT_NE(full.m_exitCode, 0) << "the large pages cannot fit in 300 KiB";
  EXPECT_FALSE(full.m_err.empty());

  fs::remove_all(m_app.Help() / "large");
  ExpectKeptPagesFound();
}

// zvv index in a forked child that may open only `limit` files; returns its wait status.
int IndexWithFileLimit(const TempApp& app, rlim_t limit, const fs::path& err) {
  const pid_t child = ::fork();
  if (child == 0) {
    const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int nullFd = ::open("/dev/null", O_RDWR);
    ::dup2(nullFd, 0);
    ::dup2(nullFd, 1);
    ::dup2(errFd, 2);
    const std::string registry = "ZVV_REGISTRY_FILE=" + (err.parent_path() / "reg").string();
    ::putenv(const_cast<char*>(registry.c_str()));
    rlimit lowered{limit, limit};
    ::setrlimit(RLIMIT_NOFILE, &lowered);
    const std::string root = app.Root().string();
    ::execl(ZVV_EXECUTABLE, "zvv", "--install-dir", root.c_str(), "--no-ui", "index", nullptr);
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return status;
}

TEST_F(ZvvFaults, WithTooFewFilesIndexFailsCleanlyAndTheIndexIsKept) {
  ASSERT_EQ(Zvv({"index"}).m_exitCode, 0);
  const fs::path err = m_app.Root() / "err.txt";
  int failures = 0;
  for (rlim_t limit : {4, 6, 8, 10, 12, 16, 20, 24, 32, 64, 256}) {
    SCOPED_TRACE("a limit of " + std::to_string(limit) + " files");
    m_app.AddPage("new" + std::to_string(limit) + ".htm", "New page", "fresh words");
    const int status = IndexWithFileLimit(m_app, limit, err);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    if (WEXITSTATUS(status) != 0) {
      ++failures;
      std::ifstream in(err);
      EXPECT_NE(in.peek(), std::ifstream::traits_type::eof()) << "a failure without a message";
    }
    ASSERT_NO_FATAL_FAILURE(ExpectKeptPagesFound());
  }
  EXPECT_GT(failures, 0);
}

}  // namespace
}  // namespace zvv::testing
