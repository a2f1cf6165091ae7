// Change notifications waited on together with a mutex, against Windows behaviour.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <future>
#include <string>
#include <thread>

#include "winport/tests/system/temp_folder.h"
#include "winport/win32.h"

namespace {

using winport_test::TempFolder;
using winport_test::WriteFile;

constexpr DWORD kGenerous = 5000;  // failure bound for a wake-up that must come
constexpr DWORD kQuiet = 300;      // how long a change that must not wake is given
constexpr DWORD kNamesSizeWrite = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                  FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;

// A mutex that another thread owns until Release(), so that it is not
// signalled for the test's thread.
class MutexHeldElsewhere {
 public:
  MutexHeldElsewhere() : m_mutex(CreateMutexA(nullptr, FALSE, nullptr)) {
    std::promise<void> taken;
    m_owner = std::thread([this, &taken] {
      EXPECT_EQ(WaitForSingleObject(m_mutex, kGenerous), WAIT_OBJECT_0);
      taken.set_value();
      m_release.get_future().wait();
      EXPECT_TRUE(ReleaseMutex(m_mutex));
    });
    taken.get_future().wait();
  }
  ~MutexHeldElsewhere() {
    Release();
    CloseHandle(m_mutex);
  }
  HANDLE Handle() const { return m_mutex; }
  void Release() {
    if (!m_owner.joinable()) return;
    m_release.set_value();
    m_owner.join();
  }

 private:
  HANDLE m_mutex;
  std::promise<void> m_release;
  std::thread m_owner;
};

class ChangeNotification : public ::testing::Test {
 protected:
  void SetUp() override { SetUpFreshTree(); }
  void TearDown() override {
    if (m_notification != INVALID_HANDLE_VALUE) {
      EXPECT_TRUE(FindCloseChangeNotification(m_notification));
      m_notification = INVALID_HANDLE_VALUE;
    }
  }

  // A new temporary folder holding a/b/existing.txt.
  void SetUpFreshTree() {
    m_folder = std::make_unique<TempFolder>();
    ASSERT_EQ(::mkdir(Path("a").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(Path("a/b").c_str(), 0755), 0);
    WriteFile(Path("a/b/existing.txt"), "0123456789");
  }

  void Arm(DWORD filter, BOOL subtree = TRUE) {
    m_notification = FindFirstChangeNotificationA(m_folder->Path().c_str(), subtree, filter);
    ASSERT_NE(m_notification, INVALID_HANDLE_VALUE) << GetLastError();
  }

  // The component's wait: the notification first, the mutex second.
  DWORD Wait(DWORD timeout) {
    const HANDLE both[] = {m_notification, m_mutex.Handle()};
    return WaitForMultipleObjects(2, both, FALSE, timeout);
  }

  std::string Path(const std::string& relative) const { return *m_folder / relative; }
  const std::string& Root() const { return m_folder->Path(); }

  std::unique_ptr<TempFolder> m_folder;
  MutexHeldElsewhere m_mutex;
  HANDLE m_notification = INVALID_HANDLE_VALUE;
};

void Rewrite(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(::pwrite(fd, "abcdefghij", 10, 0), 10);  // same size, new content
  ::close(fd);
}

TEST_F(ChangeNotification, EachKindOfChangeInANestedFolderWakesTheWait) {
  // Each change is made in the nested folder `b` of a fresh tree `root`.
  const struct {
    const char* what;
    void (*change)(const std::string& b);
  } cases[] = {
      {"create", [](const std::string& b) { WriteFile(b + "/new.txt", "x"); }},
      {"delete",
       [](const std::string& b) { ASSERT_EQ(::unlink((b + "/existing.txt").c_str()), 0); }},
      {"rename",
       [](const std::string& b) {
         ASSERT_EQ(std::rename((b + "/existing.txt").c_str(), (b + "/other").c_str()), 0);
       }},
      {"resize",
       [](const std::string& b) { ASSERT_EQ(::truncate((b + "/existing.txt").c_str(), 100), 0); }},
      {"rewrite", [](const std::string& b) { Rewrite(b + "/existing.txt"); }},
      {"new folder", [](const std::string& b) { ASSERT_EQ(::mkdir((b + "/c").c_str(), 0755), 0); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUpFreshTree();
    Arm(kNamesSizeWrite);
    EXPECT_EQ(Wait(0), WAIT_TIMEOUT);
    c.change(Path("a/b"));
    EXPECT_EQ(Wait(kGenerous), WAIT_OBJECT_0);
  }
}

TEST_F(ChangeNotification, AChmodAloneDoesNotWakeTheWaitUnlessAttributesAreWatched) {
  Arm(kNamesSizeWrite);
  ASSERT_EQ(::chmod(Path("a/b/existing.txt").c_str(), 0600), 0);
  EXPECT_EQ(Wait(kQuiet), WAIT_TIMEOUT);
  EXPECT_TRUE(FindCloseChangeNotification(m_notification));

  Arm(kNamesSizeWrite | FILE_NOTIFY_CHANGE_ATTRIBUTES);
  ASSERT_EQ(::chmod(Path("a/b/existing.txt").c_str(), 0644), 0);
  EXPECT_EQ(Wait(kGenerous), WAIT_OBJECT_0);
}

TEST_F(ChangeNotification, FoldersCreatedAfterArmingAreWatched) {
  Arm(kNamesSizeWrite);
  ASSERT_EQ(::mkdir(Path("late").c_str(), 0755), 0);
  ASSERT_EQ(Wait(kGenerous), WAIT_OBJECT_0);
  ASSERT_TRUE(FindNextChangeNotification(m_notification));
  ASSERT_EQ(Wait(0), WAIT_TIMEOUT);
  WriteFile(Path("late/file.txt"), "x");
  EXPECT_EQ(Wait(kGenerous), WAIT_OBJECT_0);
}

TEST_F(ChangeNotification, FilesMadeInANewFolderBeforeItIsWatchedStillWake) {
  // Under FILE_NAME alone the new folder itself does not wake the wait; the
  // file made in it before its watch existed must.
  Arm(FILE_NOTIFY_CHANGE_FILE_NAME);
  ASSERT_EQ(::mkdir(Path("late").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir(Path("late/deeper").c_str(), 0755), 0);
  WriteFile(Path("late/deeper/file.txt"), "x");
  EXPECT_EQ(Wait(kGenerous), WAIT_OBJECT_0);
}

TEST_F(ChangeNotification, FoldersRenamedWithinTheTreeStayWatched) {
  Arm(kNamesSizeWrite);
  ASSERT_EQ(std::rename(Path("a").c_str(), Path("z").c_str()), 0);
  ASSERT_EQ(Wait(kGenerous), WAIT_OBJECT_0);
  ASSERT_TRUE(FindNextChangeNotification(m_notification));
  ASSERT_EQ(Wait(0), WAIT_TIMEOUT);
  ASSERT_EQ(::mkdir(Path("z/b/c").c_str(), 0755), 0);
  ASSERT_EQ(Wait(kGenerous), WAIT_OBJECT_0);
  ASSERT_TRUE(FindNextChangeNotification(m_notification));
  ASSERT_EQ(Wait(0), WAIT_TIMEOUT);
  WriteFile(Path("z/b/c/file.txt"), "x");
  EXPECT_EQ(Wait(kGenerous), WAIT_OBJECT_0);
}

TEST_F(ChangeNotification, StaysSignalledUntilFindNextAndKeepsLaterChanges) {
  Arm(kNamesSizeWrite);
  ASSERT_EQ(::mkdir(Path("one").c_str(), 0755), 0);
  ASSERT_EQ(Wait(kGenerous), WAIT_OBJECT_0);
  EXPECT_EQ(Wait(0), WAIT_OBJECT_0);  // waiting does not reset it
  ASSERT_TRUE(FindNextChangeNotification(m_notification));
  EXPECT_EQ(Wait(0), WAIT_TIMEOUT);

  ASSERT_EQ(::mkdir(Path("two").c_str(), 0755), 0);
  ASSERT_EQ(Wait(kGenerous), WAIT_OBJECT_0);
  ASSERT_EQ(::mkdir(Path("three").c_str(), 0755), 0);  // after the signal, before FindNext
  ASSERT_TRUE(FindNextChangeNotification(m_notification));
  EXPECT_EQ(Wait(0), WAIT_OBJECT_0);
}

TEST_F(ChangeNotification, ReleasingTheMutexOnItsThreadWakesIndexOne) {
  Arm(kNamesSizeWrite);
  auto waiter = std::async(std::launch::async, [this] {
    const DWORD result = Wait(kGenerous);
    if (result == WAIT_OBJECT_0 + 1) ReleaseMutex(m_mutex.Handle());
    return result;
  });
  m_mutex.Release();
  EXPECT_EQ(waiter.get(), WAIT_OBJECT_0 + 1);
}

TEST_F(ChangeNotification, WithoutSubtreeOnlyTheFolderItselfIsWatched) {
  Arm(kNamesSizeWrite, FALSE);
  // Every kind of change below the folder: none of them may wake the wait.
  WriteFile(Path("a/b/new.txt"), "x");
  Rewrite(Path("a/b/existing.txt"));
  ASSERT_EQ(::mkdir(Path("a/b/c").c_str(), 0755), 0);
  ASSERT_EQ(::rename(Path("a/b/new.txt").c_str(), Path("a/b/c/moved.txt").c_str()), 0);
  EXPECT_EQ(Wait(kQuiet), WAIT_TIMEOUT);
  WriteFile(Path("top.txt"), "x");
  EXPECT_EQ(Wait(kGenerous), WAIT_OBJECT_0);
}

TEST_F(ChangeNotification, ALinkedRootIsFollowedButLinksBelowItAreNot) {
  // The watched path is a link to the tree; a link inside the tree points out
  // of it, where changes must not wake the wait.
  TempFolder outside;
  const std::string link = outside / "help";
  ASSERT_EQ(::symlink(Root().c_str(), link.c_str()), 0);
  ASSERT_EQ(::mkdir((outside / "elsewhere").c_str(), 0755), 0);
  ASSERT_EQ(::symlink((outside / "elsewhere").c_str(), Path("a/away").c_str()), 0);

  m_notification = FindFirstChangeNotificationA(link.c_str(), TRUE, kNamesSizeWrite);
  ASSERT_NE(m_notification, INVALID_HANDLE_VALUE) << GetLastError();
  WriteFile(outside / "elsewhere/file.txt", "x");
  EXPECT_EQ(Wait(kQuiet), WAIT_TIMEOUT);
  WriteFile(Path("a/b/new.txt"), "x");
  EXPECT_EQ(Wait(kGenerous), WAIT_OBJECT_0);
}

TEST_F(ChangeNotification, BadFoldersFiltersAndHandlesFail) {
  WriteFile(Path("file"), "x");
  const struct {
    std::string path;
    DWORD filter;
    DWORD error;
  } cases[] = {
      {Path("missing"), kNamesSizeWrite, ERROR_FILE_NOT_FOUND},
      {Path("missing/deeper"), kNamesSizeWrite, ERROR_PATH_NOT_FOUND},
      {Path("file"), kNamesSizeWrite, ERROR_DIRECTORY},
      {Root(), 0, ERROR_INVALID_PARAMETER},
      {Root(), 0x8000, ERROR_INVALID_PARAMETER},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindFirstChangeNotificationA(c.path.c_str(), TRUE, c.filter), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), c.error) << c.path;
  }

  HANDLE notification = FindFirstChangeNotificationA(Root().c_str(), TRUE, kNamesSizeWrite);
  ASSERT_NE(notification, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(FindCloseChangeNotification(notification));
  EXPECT_FALSE(FindNextChangeNotification(notification));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(FindCloseChangeNotification(notification));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(WaitForSingleObject(notification, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(ChangeNotification, ACancelledArmingFailsAndAnUnsignalledOneWatches) {
  HANDLE cancel = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(cancel, nullptr);
  const struct {
    HANDLE cancel;
    bool signalled;
    BOOL subtree;
    bool armed;
  } cases[] = {
      {nullptr, false, TRUE, true},
      {cancel, false, TRUE, true},
      {cancel, true, TRUE, false},
      // Only a walk of the tree looks at the signal.
      {cancel, true, FALSE, true},
  };
  for (const auto& c : cases) {
    if (c.signalled) {
      SetEvent(cancel);
    }
    m_notification = WinportFindFirstChangeNotificationCancellable(Root().c_str(), c.subtree,
                                                                   kNamesSizeWrite, c.cancel);
    ASSERT_EQ(m_notification != INVALID_HANDLE_VALUE, c.armed) << c.signalled << c.subtree;
    if (!c.armed) {
      EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
      continue;
    }
    // An armed subtree notification watches the nested folder too.
    const std::string name = "new-" + std::to_string(c.signalled) + std::to_string(c.subtree);
    WriteFile(Path(c.subtree ? "a/b/" + name : name), "x");
    EXPECT_EQ(Wait(kGenerous), WAIT_OBJECT_0);
    EXPECT_TRUE(FindCloseChangeNotification(m_notification));
    m_notification = INVALID_HANDLE_VALUE;
  }
  CloseHandle(cancel);
}

}  // namespace
