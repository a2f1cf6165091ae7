// Threads, mutexes, waits and handle checking, against Windows behaviour.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

#include "winport/win32.h"

namespace {

constexpr DWORD kGenerous = 5000;  // failure bound for waits that must succeed

// Closes the handle when the test ends.
struct Handle {
  explicit Handle(HANDLE h) : value(h) {}
  ~Handle() {
    if (value != nullptr) CloseHandle(value);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE value;
};

HANDLE StartThread(unsigned (*body)(void*), void* argument, unsigned* id = nullptr) {
  return reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, body, argument, 0, id));
}

// Mutexes that another thread holds until Release(): handles that a wait on
// this thread does not get until the test lets it.
class HeldMutexes {
 public:
  explicit HeldMutexes(size_t count) {
    for (size_t i = 0; i < count; ++i) m_handles.push_back(CreateMutexA(nullptr, FALSE, nullptr));
    std::promise<void> taken;
    m_holder = std::thread([this, &taken, held = m_handles] {
      for (HANDLE handle : held) EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_OBJECT_0);
      taken.set_value();
      m_release.get_future().wait();
      for (HANDLE handle : held) EXPECT_TRUE(ReleaseMutex(handle));
    });
    taken.get_future().wait();
  }
  ~HeldMutexes() {
    Release();
    for (HANDLE handle : m_handles) CloseHandle(handle);
  }
  HeldMutexes(const HeldMutexes&) = delete;
  HeldMutexes& operator=(const HeldMutexes&) = delete;

  HANDLE operator[](size_t i) const { return m_handles[i]; }
  // The held handles; the test may add its own, which are closed with them.
  std::vector<HANDLE>& Handles() { return m_handles; }
  void Release() {
    if (!m_holder.joinable()) return;
    m_release.set_value();
    m_holder.join();
  }

 private:
  std::vector<HANDLE> m_handles;
  std::promise<void> m_release;
  std::thread m_holder;
};

TEST(Mutex, OwnershipIsRecursiveAndNeedsOneReleasePerTake) {
  Handle mutex(CreateMutexA(nullptr, TRUE, nullptr));
  ASSERT_NE(mutex.value, nullptr);
  EXPECT_EQ(WaitForSingleObject(mutex.value, 0), WAIT_OBJECT_0);  // taken again by its owner

  auto try_elsewhere = [&] {
    return std::async(std::launch::async, [&] { return WaitForSingleObject(mutex.value, 0); })
        .get();
  };
  EXPECT_TRUE(ReleaseMutex(mutex.value));
  EXPECT_EQ(try_elsewhere(), WAIT_TIMEOUT);  // still held once
  EXPECT_TRUE(ReleaseMutex(mutex.value));
  EXPECT_FALSE(ReleaseMutex(mutex.value));
  EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);
}

TEST(Mutex, ReleaseByANonOwnerFailsWithNotOwner) {
  Handle mutex(CreateMutexA(nullptr, TRUE, nullptr));
  auto result = std::async(std::launch::async, [&] {
    const BOOL released = ReleaseMutex(mutex.value);
    return std::make_pair(released, GetLastError());
  });
  const auto [released, error] = result.get();
  EXPECT_FALSE(released);
  EXPECT_EQ(error, ERROR_NOT_OWNER);
  EXPECT_TRUE(ReleaseMutex(mutex.value));  // the owner still can
}

unsigned TakeMutexAndEnd(void* mutex) {
  return WaitForSingleObject(static_cast<HANDLE>(mutex), kGenerous) == WAIT_OBJECT_0 ? 7 : 99;
}

TEST(Mutex, OwnerEndingWithoutReleaseAbandonsItOnce) {
  Handle mutex(CreateMutexA(nullptr, FALSE, nullptr));
  HeldMutexes other(1);
  Handle thread(StartThread(TakeMutexAndEnd, mutex.value));
  ASSERT_NE(thread.value, nullptr);
  ASSERT_EQ(WaitForSingleObject(thread.value, kGenerous), WAIT_OBJECT_0);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(thread.value, &code));
  ASSERT_EQ(code, 7u);

  const HANDLE both[] = {other[0], mutex.value};
  EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, kGenerous), WAIT_ABANDONED_0 + 1);
  // The waiter now owns it; the next take is an ordinary one.
  EXPECT_TRUE(ReleaseMutex(mutex.value));
  EXPECT_EQ(WaitForSingleObject(mutex.value, 0), WAIT_OBJECT_0);
  EXPECT_TRUE(ReleaseMutex(mutex.value));
}

TEST(Mutex, ThreadsNotStartedByWinportAbandonToo) {
  Handle mutex(CreateMutexA(nullptr, FALSE, nullptr));
  std::thread([&] { EXPECT_EQ(WaitForSingleObject(mutex.value, 0), WAIT_OBJECT_0); }).join();
  EXPECT_EQ(WaitForSingleObject(mutex.value, kGenerous), WAIT_ABANDONED_0);
  EXPECT_TRUE(ReleaseMutex(mutex.value));
}

TEST(Mutex, ReleaseOnAnotherThreadWakesAWaitOnIndexOne) {
  HeldMutexes idle(1);
  Handle mutex(CreateMutexA(nullptr, FALSE, nullptr));
  std::promise<void> taken, release;
  std::thread owner([&] {
    EXPECT_EQ(WaitForSingleObject(mutex.value, kGenerous), WAIT_OBJECT_0);
    taken.set_value();
    release.get_future().wait();
    EXPECT_TRUE(ReleaseMutex(mutex.value));
  });
  taken.get_future().wait();
  auto waiter = std::async(std::launch::async, [&] {
    const HANDLE both[] = {idle[0], mutex.value};
    const DWORD result = WaitForMultipleObjects(2, both, FALSE, kGenerous);
    if (result == WAIT_OBJECT_0 + 1) ReleaseMutex(mutex.value);
    return result;
  });
  release.set_value();
  EXPECT_EQ(waiter.get(), WAIT_OBJECT_0 + 1);
  owner.join();
}

TEST(Mutex, NamedMutexesAreNotSupported) {
  EXPECT_EQ(CreateMutexA(nullptr, FALSE, "Global\\name"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
}

TEST(Event, AnyThreadSetsItAndEachKindResetsAsWindowsDoes) {
  Handle manual(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  Handle automatic(CreateEventA(nullptr, FALSE, FALSE, nullptr));
  ASSERT_NE(manual.value, nullptr);
  ASSERT_NE(automatic.value, nullptr);
  EXPECT_EQ(WaitForSingleObject(manual.value, 0), WAIT_TIMEOUT);
  HeldMutexes idle(1);
  auto waiter = std::async(std::launch::async, [&] {
    const HANDLE both[] = {idle[0], manual.value};
    return WaitForMultipleObjects(2, both, FALSE, kGenerous);
  });
  // Set by a thread that neither created nor waits on it.
  std::thread([&] { EXPECT_TRUE(SetEvent(manual.value)); }).join();
  EXPECT_EQ(waiter.get(), WAIT_OBJECT_0 + 1);
  EXPECT_EQ(WaitForSingleObject(manual.value, 0), WAIT_OBJECT_0);  // stays set

  EXPECT_TRUE(SetEvent(automatic.value));
  EXPECT_EQ(WaitForSingleObject(automatic.value, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(automatic.value, 0), WAIT_TIMEOUT);

  EXPECT_FALSE(SetEvent(idle[0]));  // a mutex is no event
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(CreateEventA(nullptr, TRUE, FALSE, "name"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
}

TEST(Wait, TheLowestSignalledIndexWins) {
  HeldMutexes a(1);
  Handle b(CreateMutexA(nullptr, FALSE, nullptr));
  Handle c(CreateMutexA(nullptr, FALSE, nullptr));
  const HANDLE all[] = {a[0], b.value, c.value};
  EXPECT_EQ(WaitForMultipleObjects(3, all, FALSE, 0), WAIT_OBJECT_0 + 1);
  a.Release();
  EXPECT_EQ(WaitForMultipleObjects(3, all, FALSE, 0), WAIT_OBJECT_0);
}

TEST(Wait, AcceptsUpToSixtyFourHandles) {
  HeldMutexes held(MAXIMUM_WAIT_OBJECTS - 1);
  std::vector<HANDLE>& handles = held.Handles();
  handles.push_back(CreateMutexA(nullptr, FALSE, nullptr));  // the one free
  handles.push_back(CreateMutexA(nullptr, FALSE, nullptr));
  EXPECT_EQ(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS, handles.data(), FALSE, 0),
            WAIT_OBJECT_0 + MAXIMUM_WAIT_OBJECTS - 1);
  EXPECT_EQ(WaitForMultipleObjects(MAXIMUM_WAIT_OBJECTS + 1, handles.data(), FALSE, 0),
            WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(WaitForMultipleObjects(0, handles.data(), FALSE, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(Wait, WaitingForAllIsNotSupported) {
  Handle mutex(CreateMutexA(nullptr, FALSE, nullptr));
  EXPECT_EQ(WaitForMultipleObjects(1, &mutex.value, TRUE, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
}

unsigned EndAtOnce(void*) { return 0; }

TEST(Handles, BadClosedAndWrongKindHandlesFailWithInvalidHandle) {
  HANDLE closed = CreateMutexA(nullptr, FALSE, nullptr);
  ASSERT_TRUE(CloseHandle(closed));
  int not_a_handle = 0;
  Handle thread(StartThread(EndAtOnce, nullptr));
  Handle mutex(CreateMutexA(nullptr, FALSE, nullptr));
  const HANDLE bad[] = {nullptr, INVALID_HANDLE_VALUE, closed, &not_a_handle};
  for (HANDLE handle : bad) {
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(WaitForSingleObject(handle, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    const HANDLE pair[] = {thread.value, handle};
    EXPECT_EQ(WaitForMultipleObjects(2, pair, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CloseHandle(handle));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(ReleaseMutex(handle));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  }
  // Each function accepts only its own kind of object.
  EXPECT_FALSE(ReleaseMutex(thread.value));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  DWORD code = 0;
  EXPECT_FALSE(GetExitCodeThread(mutex.value, &code));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(FindClose(thread.value));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(FindCloseChangeNotification(mutex.value));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

unsigned WaitForGo(void* go) {
  return WaitForSingleObject(static_cast<HANDLE>(go), kGenerous) == WAIT_OBJECT_0 ? 42 : 1;
}

TEST(Thread, IsActiveUntilItEndsThenKeepsItsExitCode) {
  HeldMutexes go(1);
  unsigned id = 0;
  Handle thread(StartThread(WaitForGo, go[0], &id));
  ASSERT_NE(thread.value, nullptr);
  EXPECT_NE(id, 0u);
  EXPECT_NE(id, GetCurrentThreadId());
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeThread(thread.value, &code));
  EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_EQ(WaitForSingleObject(thread.value, 0), WAIT_TIMEOUT);
  go.Release();
  EXPECT_EQ(WaitForSingleObject(thread.value, kGenerous), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(thread.value, 0), WAIT_OBJECT_0);  // stays signalled
  EXPECT_TRUE(GetExitCodeThread(thread.value, &code));
  EXPECT_EQ(code, 42u);
}

unsigned ReportOwnId(void* out) {
  *static_cast<DWORD*>(out) = GetCurrentThreadId();
  return 0;
}

TEST(Thread, ReportsTheIdTheThreadSeesAndRefusesSuspendedStarts) {
  DWORD inside = 0;
  unsigned id = 0;
  Handle thread(StartThread(ReportOwnId, &inside, &id));
  ASSERT_EQ(WaitForSingleObject(thread.value, kGenerous), WAIT_OBJECT_0);
  EXPECT_EQ(inside, id);
  EXPECT_EQ(_beginthreadex(nullptr, 0, ReportOwnId, &inside, CREATE_SUSPENDED, nullptr), 0u);
}

TEST(Interlocked, ReturnWhatWindowsReturns) {
  LONG volatile value = 5;
  EXPECT_EQ(InterlockedIncrement(&value), 6);
  EXPECT_EQ(InterlockedDecrement(&value), 5);
  EXPECT_EQ(InterlockedCompareExchange(&value, 1, 4), 5);  // no match: unchanged
  EXPECT_EQ(value, 5);
  EXPECT_EQ(InterlockedCompareExchange(&value, 1, 5), 5);
  EXPECT_EQ(value, 1);
}

TEST(Interlocked, CountsExactlyUnderContention) {
  LONG volatile counter = 0;
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < 10000; ++i) InterlockedIncrement(&counter);
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(counter, 40000);
}

}  // namespace
