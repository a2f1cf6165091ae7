// Tests of session start-up with the user interface allowed: the prompt and
// dialog roads and their results.
#include "component/tests/support/listing_faults.h"
#include "component/tests/ui/dialog_fixture.h"
#include "winport/tests/support/hr_assert.h"

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

// A build that failed leaves nothing open: Find has no empty, unfinished
// collection to search, and fails with the build's reason.
TEST_F(SessionDialogTest, ACreationThatFailsUnderTheDialogFailsStartUpAndFindSaysWhy) {
  const struct {
    bool bScanFails;  // else the toolkit reports a fatal error
    std::string sReason;
  } cases[] = {{false, "E the disk is full"}, {true, SystemErrorText(ERROR_ACCESS_DENIED)}};
  for (const auto& c : cases) {
    toolkit.calls.clear();
    toolkit.Script("TkOpenCollection", -4);
    toolkit.progressMessages.clear();
    if (!c.bScanFails) toolkit.progressMessages.push_back(c.sReason);
    ListingFaults faults;
    if (c.bScanFails) faults.Fail(temp.InstallDir() + "Help", ERROR_ACCESS_DENIED);
    script.AnswerMessageBox(IDYES);
    EXPECT_FALSE(C().StartSession(true)) << c.sReason;
    EXPECT_EQ(toolkit.Count("TkOpenSession"), 2) << c.sReason;  // none after the failure
    EXPECT_EQ(toolkit.Outstanding(), 0) << c.sReason;

    winport::Bstr query(u"x");
    winport::Variant results;
    SetErrorInfo(0, nullptr);
    EXPECT_HR(E_FAIL, C().Find(query.Get(), nullptr, 0, results.Get())) << c.sReason;
    EXPECT_EQ(TakeDescription(), c.sReason);
  }
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
