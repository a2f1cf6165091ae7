// Tests of the session and collection owner against the fake toolkit.
#include "component/session/toolkit_handles.h"

#include <gtest/gtest.h>

#include "component/session/session_args.h"
#include "component/tests/support/component_fixture.h"

namespace {

// An open session with its collection, the calls that opened them forgotten.
class ToolkitHandlesTest : public ::testing::Test {
 protected:
  void OpenBoth(ToolkitHandles& handles) {
    ASSERT_EQ(handles.OpenSession(MakeSessionArgs("/common", nullptr)), 0);
    ASSERT_EQ(handles.OpenCollection(MakeOpenCollectionArgs("/collection/file")), 0);
    toolkit.calls.clear();
  }
  FakeToolkit toolkit;
};

TEST_F(ToolkitHandlesTest, EndingClosesTheCollectionBeforeItsSession) {
  {
    ToolkitHandles handles;
    OpenBoth(handles);
    EXPECT_NE(handles.Session(), 0u);
    EXPECT_NE(handles.Collection(), 0u);
  }
  EXPECT_EQ(toolkit.Ops(), (Ops{"TkCloseCollection", "TkCloseSession"}));
  EXPECT_EQ(toolkit.Outstanding(), 0);
}

TEST_F(ToolkitHandlesTest, EachHandleClosesOnceWhateverTheOrderOfTheRequests) {
  struct Case {
    const char* sName;
    void (*close)(ToolkitHandles&);
    Ops ops;
  };
  const Case cases[] = {
      {"collection, then all",
       [](ToolkitHandles& h) {
         h.CloseCollection();
         h.Close();
       },
       {"TkCloseCollection", "TkCloseSession"}},
      {"session alone",
       [](ToolkitHandles& h) {
         h.CloseSession();
         h.CloseSession();
       },
       {"TkCloseSession"}},
      {"all twice",
       [](ToolkitHandles& h) {
         h.Close();
         h.Close();
       },
       {"TkCloseCollection", "TkCloseSession"}},
  };
  for (const Case& c : cases) {
    ToolkitHandles handles;
    OpenBoth(handles);
    c.close(handles);
    EXPECT_EQ(toolkit.Ops(), c.ops) << c.sName;
    handles.Close();  // whatever is left, so that the next case starts clean
    toolkit.calls.clear();
  }
}

TEST_F(ToolkitHandlesTest, ARefusedOpenLeavesItsHandleNullAndTheOtherOpen) {
  ToolkitHandles handles;
  ASSERT_EQ(handles.OpenSession(MakeSessionArgs("/common", nullptr)), 0);
  toolkit.Script("TkOpenCollection", -4);
  EXPECT_EQ(handles.OpenCollection(MakeOpenCollectionArgs("/collection/file")), -4);
  EXPECT_EQ(handles.Collection(), 0u);
  EXPECT_NE(handles.Session(), 0u);
  handles.Close();
  EXPECT_EQ(toolkit.Ops(), (Ops{"TkOpenSession", "TkOpenCollection", "TkCloseSession"}));
  EXPECT_EQ(toolkit.Outstanding(), 0);
}

}  // namespace
