// Tests of session start-up with the user interface allowed: the prompt and
// dialog roads and their results.
#include "component/tests/ui/dialog_fixture.h"

namespace dialog_test {
namespace {

class SessionDialogTest : public DialogTest {
 protected:
  void SetUp() override {
    SetFolders();
    WritePages(3);
  }
};

TEST_F(SessionDialogTest, NoCollectionAndTheAnswerNoLeavesTheSessionOpenAndNothingMade) {
  toolkit.Script("TkOpenCollection", -4);
  script.AnswerMessageBox(IDNO);
  EXPECT_FALSE(C().StartSession(true));
  EXPECT_EQ(script.MessageBoxes().size(), 1u);
  EXPECT_EQ(script.DialogsRun(), 0);
  EXPECT_EQ(toolkit.Ops(), (Ops{"TkOpenSession", "TkOpenCollection"}));
  EXPECT_NE(C().Handles().Session(), 0u);
  EXPECT_EQ(C().Handles().Collection(), 0u);
  EXPECT_TRUE(NothingCreated());
}

TEST_F(SessionDialogTest, NoCollectionAndTheAnswerYesCreatesItUnderTheDialogThenOpensIt) {
  toolkit.Script("TkOpenCollection", -4);
  script.AnswerMessageBox(IDYES);
  EXPECT_TRUE(C().StartSession(true));
  EXPECT_EQ(script.DialogsRun(), 1);
  EXPECT_EQ(toolkit.Count("TkSubmit"), 1);
  EXPECT_NE(C().Handles().Session(), 0u);
  EXPECT_NE(C().Handles().Collection(), 0u);
  EXPECT_TRUE(std::filesystem::is_directory(temp.Path() / "dizode/collections/Searchable Help"));
}

TEST_F(SessionDialogTest, ACreationThatFailsUnderTheDialogFailsStartUp) {
  toolkit.Script("TkOpenCollection", -4);
  toolkit.progressMessages = {"E the disk is full"};
  script.AnswerMessageBox(IDYES);
  EXPECT_FALSE(C().StartSession(true));
  EXPECT_EQ(script.DialogsRun(), 1);
  EXPECT_EQ(toolkit.Count("TkOpenSession"), 2);  // no session is opened after the failure
}

TEST_F(SessionDialogTest, AnExistingCollectionIsUpdatedUnderTheDialogOnEveryStartUp) {
  EXPECT_TRUE(C().StartSession(true));
  EXPECT_TRUE(C().StartSession(true));
  EXPECT_EQ(script.DialogsRun(), 2);
  EXPECT_TRUE(script.MessageBoxes().empty());
  EXPECT_EQ(toolkit.Count("TkSubmit"), 2);  // every page is new to the fake each time
}

TEST_F(SessionDialogTest, AnExistingCollectionStartsUpEvenWhenTheUpdateFails) {
  toolkit.Script("TkOpenSession", 0);
  toolkit.Script("TkSearch", -7);
  EXPECT_TRUE(C().StartSession(true));
  EXPECT_EQ(script.DialogsRun(), 1);
  EXPECT_NE(C().Handles().Collection(), 0u);
}

}  // namespace
}  // namespace dialog_test
