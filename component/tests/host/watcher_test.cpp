// Tests of the auto-refresh watcher on real folders. Waits poll the flag
// against a generous deadline; nothing relies on a fixed sleep.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <thread>

#include "component/tests/support/component_fixture.h"
#include "winport/tests/support/hr_assert.h"

namespace {

using namespace std::chrono_literals;

// True once the watcher's flag is set; false when the deadline passes first.
bool WaitForFlag(const FolderWatcher& watcher, std::chrono::milliseconds deadline = 20s) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!watcher.IsPending()) {
    if (std::chrono::steady_clock::now() > end) {
      return false;
    }
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

// Runs action on a thread of its own; false when it has not finished within
// the deadline (the thread is then left to itself rather than hang the test).
bool FinishesWithin(std::function<void()> action, std::chrono::seconds deadline = 20s) {
  auto pDone = std::make_shared<std::promise<void>>();
  std::future<void> done = pDone->get_future();
  std::thread([action = std::move(action), pDone] {
    action();
    pDone->set_value();
  }).detach();
  return done.wait_for(deadline) == std::future_status::ready;
}

class WatcherTest : public ComponentTest {
 protected:
  bool StartAndWaitUntilListening(
      FolderWatcher::Arming arming = FolderWatcher::Arming::kBeforeReturn) {
    return C().StartWatcher(arming) && WaitUntilListening();
  }

  // Makes throw-away changes until the watcher reports one: from then on it
  // is armed, and the flag is cleared for the change under test.
  bool WaitUntilListening() {
    const auto end = std::chrono::steady_clock::now() + 20s;
    for (int n = 0; std::chrono::steady_clock::now() < end; ++n) {
      std::ofstream(Deeper() / ("warm-up-" + std::to_string(n) + ".txt")) << "x";
      if (WaitForFlag(C().Watcher(), 200ms)) {
        // A slow machine may report a later warm-up change afterwards; the
        // flag is cleared only once the reports have stopped.
        do {
          C().Watcher().ClearPending();
        } while (WaitForFlag(C().Watcher(), 300ms));
        return true;
      }
    }
    return false;
  }

  void SetUp() override {
    SetFolders();
    temp.Write("Help/sub/deeper/a.htm");
    temp.Write("Help/sub/deeper/b.htm");
  }
  std::filesystem::path Deeper() { return temp.Path() / "Help/sub/deeper"; }
};

TEST_F(WatcherTest, NameChangesInANestedFolderRaiseTheFlag) {
  struct Change {
    const char* sName;
    std::function<void(const std::filesystem::path&)> apply;
  } changes[] = {
      {"add", [](const auto& dir) { std::ofstream(dir / "new.htm") << "x"; }},
      {"rename", [](const auto& dir) { std::filesystem::rename(dir / "a.htm", dir / "c.htm"); }},
      {"delete", [](const auto& dir) { std::filesystem::remove(dir / "b.htm"); }},
  };
  ASSERT_TRUE(StartAndWaitUntilListening());
  for (const Change& change : changes) {
    change.apply(Deeper());
    EXPECT_TRUE(WaitForFlag(C().Watcher())) << change.sName;
    C().Watcher().ClearPending();
  }
  EXPECT_TRUE(C().StopWatcher());
  EXPECT_EQ(C().Watcher().Thread(), nullptr);
  EXPECT_EQ(C().Watcher().StopSignal(), nullptr);
}

TEST_F(WatcherTest, AWatcherArmedOnItsThreadReportsChangesOnceListening) {
  ASSERT_TRUE(StartAndWaitUntilListening(FolderWatcher::Arming::kOnThread));
  std::filesystem::remove(Deeper() / "a.htm");
  EXPECT_TRUE(WaitForFlag(C().Watcher()));
  EXPECT_TRUE(C().StopWatcher());
  EXPECT_EQ(C().Watcher().EndReason(), "");
}

// Initialize's watcher arms on its thread, so a host that searches once and
// exits stops it during the walk of a large help tree: the stop cancels the
// walk instead of waiting for it, and is no failure.
TEST_F(WatcherTest, AStopRightAfterStartCancelsAnArmingOnTheThread) {
  for (int nTop = 0; nTop < 40; ++nTop) {
    for (int nSub = 0; nSub < 50; ++nSub) {
      std::filesystem::create_directories(temp.Path() / "Help/wide" / std::to_string(nTop) /
                                          std::to_string(nSub));
    }
  }
  // The quickest of a few rounds, so that one slow scheduling of the
  // watcher's thread on a busy machine does not decide.
  const auto quickest = [&](FolderWatcher::Arming arming) {
    auto best = std::chrono::steady_clock::duration::max();
    for (int round = 0; round < 3; ++round) {
      const auto start = std::chrono::steady_clock::now();
      EXPECT_TRUE(C().StartWatcher(arming));
      EXPECT_TRUE(C().StopWatcher());
      best = std::min(best, std::chrono::steady_clock::now() - start);
      EXPECT_EQ(C().Watcher().EndReason(), "");
      EXPECT_FALSE(C().Watcher().IsPending());
    }
    return best;
  };
  // Armed before returning, each round walks the whole tree.
  const auto whole = quickest(FolderWatcher::Arming::kBeforeReturn);
  const auto cancelled = quickest(FolderWatcher::Arming::kOnThread);
  EXPECT_LT(cancelled, whole / 2) << cancelled.count() << " against " << whole.count();
}

TEST_F(WatcherTest, AnAttributeChangeAloneDoesNotRaiseTheFlag) {
  ASSERT_TRUE(StartAndWaitUntilListening());
  std::filesystem::permissions(Deeper() / "a.htm", std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add);
  // A name change afterwards proves the watcher was listening; had the
  // attribute change counted, the flag would have been set before it.
  const bool bBefore = WaitForFlag(C().Watcher(), 300ms);
  EXPECT_FALSE(bBefore);
  std::ofstream(Deeper() / "proof.htm") << "x";
  EXPECT_TRUE(WaitForFlag(C().Watcher()));
  EXPECT_TRUE(C().StopWatcher());
}

// A help folder that is not there yet (a share not mounted, an install in
// progress) is waited for: the index is stale until then, and watched after.
TEST_F(WatcherTest, AWatcherOnAMissingFolderWaitsForItAndStopsCleanly) {
  EditFolders([&](HostFolders& f) { f.m_sHelpDir = temp.InstallDir() + "Missing"; });
  ASSERT_TRUE(C().StartWatcher());
  ASSERT_TRUE(WaitForFlag(C().Watcher()));
  C().Watcher().ClearPending();
  std::filesystem::create_directories(temp.Path() / "Missing/sub");
  ASSERT_TRUE(WaitForFlag(C().Watcher()));  // back: whatever it holds is new
  C().Watcher().ClearPending();
  EXPECT_TRUE(C().Watcher().IsRunning());
  std::ofstream(temp.Path() / "Missing/sub/page.htm") << "x";
  EXPECT_TRUE(WaitForFlag(C().Watcher()));
  EXPECT_EQ(C().Watcher().EndReason(), "");
  EXPECT_TRUE(C().StopWatcher());
  EXPECT_FALSE(C().StopWatcher());  // nothing left to stop
}

// A stop while the folder is away ends the wait for it at once.
TEST_F(WatcherTest, AStopWhileTheFolderIsAwayEndsTheWatcher) {
  EditFolders([&](HostFolders& f) { f.m_sHelpDir = temp.InstallDir() + "Missing"; });
  ASSERT_TRUE(C().StartWatcher());
  ASSERT_TRUE(WaitForFlag(C().Watcher()));
  ASSERT_TRUE(FinishesWithin([&] { EXPECT_TRUE(C().StopWatcher()); }));
  EXPECT_EQ(C().Watcher().Thread(), nullptr);
}

TEST_F(WatcherTest, ASecondStartStopsTheFirstWatcherBeforeStartingAnother) {
  ASSERT_TRUE(C().StartWatcher());
  // Listening proves the second watcher runs; the first was stopped and
  // waited for, or its thread would outlive its handle (a leak the sanitizer
  // reports).
  ASSERT_TRUE(StartAndWaitUntilListening());
  EXPECT_TRUE(C().StopWatcher());
  EXPECT_FALSE(C().StopWatcher());
}

TEST_F(WatcherTest, TheAutoRefreshPropertyStartsAndStopsTheWatcher) {
  LONG nValue = -1;
  EXPECT_HR(E_INVALIDARG, C().get_AutoRefresh(nullptr));
  EXPECT_HR(S_OK, C().get_AutoRefresh(&nValue));
  EXPECT_EQ(nValue, 0);
  EXPECT_HR(S_OK, C().put_AutoRefresh(0));  // already false: nothing happens
  EXPECT_EQ(C().Watcher().Thread(), nullptr);

  EXPECT_HR(S_OK, C().put_AutoRefresh(5));
  EXPECT_HR(S_OK, C().get_AutoRefresh(&nValue));
  EXPECT_EQ(nValue, 1);
  EXPECT_NE(C().Watcher().Thread(), nullptr);
  EXPECT_HR(S_OK, C().put_AutoRefresh(-1));  // already true
  EXPECT_HR(S_OK, C().put_AutoRefresh(0));
  EXPECT_HR(S_OK, C().get_AutoRefresh(&nValue));
  EXPECT_EQ(nValue, 0);
  EXPECT_EQ(C().Watcher().Thread(), nullptr);
}

// The threads of this process, counted by the kernel.
std::size_t ThreadCount() {
  std::size_t nCount = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
    nCount += entry.is_directory() ? 1 : 0;
  }
  return nCount;
}

TEST_F(WatcherTest, AThreadOtherThanTheStartersStopsOrRestartsTheWatcher) {
  ASSERT_HR(S_OK, C().put_AutoRefresh(1));
  ASSERT_TRUE(FinishesWithin([&] { EXPECT_HR(S_OK, C().put_AutoRefresh(0)); }));
  EXPECT_EQ(C().Watcher().Thread(), nullptr);

  ASSERT_TRUE(C().StartWatcher());
  ASSERT_TRUE(FinishesWithin([&] { EXPECT_TRUE(C().StartWatcher()); }));  // stops, then starts
  EXPECT_TRUE(C().Watcher().IsRunning());

  // The host's last reference may go on any thread.
  ASSERT_TRUE(FinishesWithin([&] { ReleaseComponent(); }));
}

TEST_F(WatcherTest, APageAddedRightAfterAutoRefreshIsTurnedOnIsReported) {
  for (int round = 0; round < 3; ++round) {
    ASSERT_HR(S_OK, C().put_AutoRefresh(1));
    std::ofstream(Deeper() / ("at-once-" + std::to_string(round) + ".htm")) << "x";
    EXPECT_TRUE(WaitForFlag(C().Watcher(), 5s)) << round;
    C().Watcher().ClearPending();
    ASSERT_HR(S_OK, C().put_AutoRefresh(0));
  }
}

// A help folder moved away and back: the index is marked stale while it is
// away, and the watcher goes on watching it once it is back.
TEST_F(WatcherTest, AWatcherWhoseFolderGoesMarksStaleAndWatchesItAgainWhenItIsBack) {
  ASSERT_HR(S_OK, C().put_AutoRefresh(1));
  std::filesystem::rename(temp.Path() / "Help", temp.Path() / "Gone");
  ASSERT_TRUE(WaitForFlag(C().Watcher()));
  EXPECT_TRUE(C().Watcher().IsRunning());

  std::filesystem::rename(temp.Path() / "Gone", temp.Path() / "Help");
  ASSERT_TRUE(WaitUntilListening());
  std::ofstream(Deeper() / "back.htm") << "x";
  EXPECT_TRUE(WaitForFlag(C().Watcher()));
  EXPECT_EQ(C().Watcher().EndReason(), "");
}

TEST_F(WatcherTest, TeardownStopsARunningWatcher) {
  // A sanitizer runtime starts a thread of its own when the process makes its
  // first one: make that happen before counting.
  std::thread([] {}).join();
  const std::size_t nBefore = ThreadCount();
  ASSERT_TRUE(StartAndWaitUntilListening());
  ASSERT_GT(ThreadCount(), nBefore);
  ReleaseComponent();  // would be a use after free under the sanitizer otherwise
  std::ofstream(Deeper() / "after.htm") << "x";
  // A joined thread may linger in the kernel's list for a moment; a running one stays.
  const auto end = std::chrono::steady_clock::now() + 5s;
  while (ThreadCount() > nBefore && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(5ms);
  }
  EXPECT_EQ(ThreadCount(), nBefore);
}

}  // namespace
