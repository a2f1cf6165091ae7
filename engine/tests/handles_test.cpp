// @brief Handle tables refuse stale, foreign, malformed and doubly freed handles.
#include "handles.h"

#include <gtest/gtest.h>

namespace dizode {
namespace {

TEST(HandleTableTest, LiveHandleFindsItsObject) {
  HandleTable<int> table(HandleKind::kSearch);
  uint32_t a = table.Add(std::make_shared<int>(1));
  uint32_t b = table.Add(std::make_shared<int>(2));
  ASSERT_NE(a, 0u);
  ASSERT_NE(a, b);
  EXPECT_EQ(*table.Get(a), 1);
  EXPECT_EQ(*table.Get(b), 2);
}

TEST(HandleTableTest, FreedHandleIsStaleEvenAfterItsSlotIsReused) {
  HandleTable<int> table(HandleKind::kSession);
  uint32_t old = table.Add(std::make_shared<int>(1));
  ASSERT_NE(table.Remove(old), nullptr);
  EXPECT_EQ(table.Remove(old), nullptr) << "double free";
  uint32_t reused = table.Add(std::make_shared<int>(2));
  EXPECT_NE(reused, old);
  EXPECT_EQ(table.Get(old), nullptr);
  EXPECT_EQ(table.Remove(old), nullptr);
  EXPECT_EQ(*table.Get(reused), 2);
}

TEST(HandleTableTest, HandleOfAnotherKindIsForeign) {
  HandleTable<int> sessions(HandleKind::kSession);
  HandleTable<int> searches(HandleKind::kSearch);
  uint32_t session = sessions.Add(std::make_shared<int>(1));
  uint32_t search = searches.Add(std::make_shared<int>(2));
  EXPECT_EQ(searches.Get(session), nullptr);
  EXPECT_EQ(sessions.Get(search), nullptr);
  EXPECT_EQ(searches.Remove(session), nullptr);
  EXPECT_NE(sessions.Get(session), nullptr);
}

TEST(HandleTableTest, MalformedHandlesAreRefused) {
  HandleTable<int> table(HandleKind::kCollection);
  uint32_t live = table.Add(std::make_shared<int>(1));
  for (uint32_t bad : {0u, 0xFFFFFFFFu, live + 1, live & 0xFFFF0000u, live ^ 0x00010000u})
    EXPECT_EQ(table.Get(bad), nullptr) << std::hex << bad;
}

TEST(HandleTableTest, GenerationWrapsWithoutReachingAStaleHandle) {
  HandleTable<int> table(HandleKind::kReply);
  uint32_t first = table.Add(std::make_shared<int>(0));
  table.Remove(first);
  uint32_t last = 0;
  for (int i = 0; i < 100; ++i) {
    last = table.Add(std::make_shared<int>(i));
    EXPECT_EQ(table.Get(first), nullptr);
    table.Remove(last);
  }
  EXPECT_EQ(table.Get(last), nullptr);
}

}  // namespace
}  // namespace dizode
