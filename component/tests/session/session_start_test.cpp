// Tests of session start-up and collection creation against the fake toolkit.
#include <gtest/gtest.h>

#include <filesystem>

#include "component/tests/support/component_fixture.h"
#include "component/tests/support/listing_faults.h"
#include "component/session/rebuild_mark.h"
#include "component/toolkit/toolkit_error.h"
#include "component/ui/indexing_progress.h"
#include "winport/ui_driver.h"

namespace {

class SessionStartTest : public ComponentTest {};

Ops Listing() {
  return {"TkSearch",       "TkGetSearchInfo",  "TkReadDocBatch",
          "TkFreeDocBatch", "TkFreeSearchInfo", "TkFreeSearch"};
}

Ops Concat(std::initializer_list<Ops> parts) {
  Ops all;
  for (const Ops& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

TEST_F(SessionStartTest, OpensAnExistingCollectionAndUpdatesItSilently) {
  SetFolders();
  temp.Write("Help/a.htm");
  ASSERT_TRUE(C().StartSession(false));
  EXPECT_EQ(toolkit.Ops(), Concat({{"TkOpenSession", "TkOpenCollection"},
                                   Listing(),
                                   {"TkSubmit", "TkQueryCollection", "TkFreeCollectionReply"}}));
  EXPECT_NE(C().Handles().Session(), 0u);
  EXPECT_NE(C().Handles().Collection(), 0u);

  const ToolkitCall& session = toolkit.calls[0];
  const auto sessionArgs = session.As<TkSessionArgs>();
  EXPECT_EQ(session.record.size(), sizeof(TkSessionArgs));
  EXPECT_EQ(sessionArgs.size, sizeof(TkSessionArgs));
  EXPECT_EQ(sessionArgs.version, 576);
  EXPECT_EQ(session.texts[0], temp.InstallDir() + "/dizode/common");
  EXPECT_EQ(sessionArgs.callback, nullptr);
  EXPECT_EQ(sessionArgs.callbackContext, nullptr);
  EXPECT_EQ(sessionArgs.messageMask, 0);

  const ToolkitCall& open = toolkit.calls[1];
  const auto openArgs = open.As<TkCollectionArgs>();
  EXPECT_EQ(openArgs.size, sizeof(TkCollectionArgs));
  EXPECT_EQ(openArgs.version, 576);
  EXPECT_EQ(openArgs.mode, 35);
  EXPECT_EQ(openArgs.createParam, 0u);
  EXPECT_EQ(open.texts[0], temp.InstallDir() + "dizode/collections/Searchable Help/file");
  EXPECT_EQ(open.texts[1], "<null>");
  EXPECT_EQ(C().Folders().m_sStyleDir, temp.InstallDir() + "dizode/common/style/file");
}

TEST_F(SessionStartTest, ANeverInitializedObjectClosesNothingAtTeardown) {
  ReleaseComponent();
  EXPECT_TRUE(toolkit.calls.empty());
}

TEST_F(SessionStartTest, ARefusedSessionEndsStartUpAtOnce) {
  SetFolders();
  toolkit.Script("TkOpenSession", -3);
  EXPECT_FALSE(C().StartSession(false));
  EXPECT_EQ(toolkit.Ops(), Ops{"TkOpenSession"});
  EXPECT_EQ(C().Handles().Session(), 0u);
  EXPECT_EQ(C().Handles().Collection(), 0u);
  EXPECT_FALSE(std::filesystem::exists(temp.Path() / "dizode/collections"));
}

TEST_F(SessionStartTest, CreatesAMissingCollectionWithoutUserInterfaceThenOpensItAgain) {
  SetFolders();
  temp.Write("Help/b.htm");
  temp.Write("Help/sub/a.htm");
  toolkit.Script("TkOpenCollection", -4);  // no collection yet
  ASSERT_TRUE(C().StartSession(false));
  EXPECT_EQ(toolkit.Ops(),
            (Ops{"TkOpenSession", "TkOpenCollection", "TkCloseSession", "TkOpenSession",
                 "TkOpenCollection", "TkSubmit", "TkCloseCollection", "TkCloseSession",
                 "TkOpenSession", "TkOpenCollection"}));
  EXPECT_TRUE(std::filesystem::is_directory(temp.Path() / "dizode/collections/Searchable Help"));

  const ToolkitCall& indexing = toolkit.calls[3];
  const auto indexingArgs = indexing.As<TkSessionArgs>();
  EXPECT_EQ(indexingArgs.callback, &IndexingProgressCallback);
  EXPECT_EQ(indexingArgs.callbackContext, &C());
  EXPECT_EQ(indexingArgs.messageMask, 63);
  EXPECT_EQ(indexing.texts[0], temp.InstallDir() + "/dizode/common");

  const ToolkitCall& create = toolkit.calls[4];
  const auto createArgs = create.As<TkCollectionArgs>();
  EXPECT_EQ(createArgs.mode, 547);
  EXPECT_EQ(createArgs.createParam, 11u);
  EXPECT_EQ(create.texts[0], temp.InstallDir() + "dizode/collections/Searchable Help/file");
  EXPECT_EQ(create.texts[1], temp.InstallDir() + "dizode/common/style/file");

  ExpectRecord<TkSessionArgs>(indexing, [&](TkSessionArgs& r, const TkSessionArgs& actual) {
    r.commonDir = actual.commonDir;
    r.callback = &IndexingProgressCallback;
    r.callbackContext = &C();
    r.messageMask = 63;
  });
  ExpectRecord<TkCollectionArgs>(create, [](TkCollectionArgs& r, const TkCollectionArgs& actual) {
    r.path = actual.path;
    r.styleDir = actual.styleDir;
    r.createParam = 11;
    r.mode = 547;
  });
  ExpectRecord<TkSessionArgs>(toolkit.calls[0], [](TkSessionArgs& r, const TkSessionArgs& a) {
    r.commonDir = a.commonDir;
  });
  ExpectRecord<TkCollectionArgs>(toolkit.calls[1],
                                 [](TkCollectionArgs& r, const TkCollectionArgs& a) {
                                   r.path = a.path;
                                   r.mode = 35;
                                 });

  const ToolkitCall& submit = toolkit.calls[5];
  ExpectRecord<TkSubmitArgs>(submit, [](TkSubmitArgs& r, const TkSubmitArgs& a) {
    r.operation = 2;
    r.count = 2;
    r.keys = a.keys;
    r.param16 = 10;
  });
  const auto submitArgs = submit.As<TkSubmitArgs>();
  EXPECT_EQ(submitArgs.size, sizeof(TkSubmitArgs));
  EXPECT_EQ(submitArgs.operation, 2u);
  EXPECT_EQ(submitArgs.count, 2);
  EXPECT_EQ(submitArgs.param16, 10u);
  EXPECT_EQ(submit.texts, (Ops{Help("b.htm"), Help("sub/a.htm")}));
  EXPECT_EQ(C().DocTotal(), 2);

  EXPECT_EQ(toolkit.Outstanding(), 2);  // the kept session and collection
  ReleaseComponent();
  EXPECT_EQ(toolkit.Outstanding(), 0);
  EXPECT_EQ(toolkit.BadReleases(), 0);
  EXPECT_EQ(toolkit.calls.back().sOp, "TkCloseSession");
}

// A failed build is a failure with its reason, never an empty or partial
// collection opened as if it held the help.
TEST_F(SessionStartTest, ASilentCreationThatFailsFailsStartUpWithItsReasonAndOpensNothing) {
  SetFolders();
  temp.Write("Help/a.htm");
  temp.Write("Help/sub/b.htm");
  const std::string sSub = temp.Path().string() + "/Help/sub";
  struct Case {
    std::vector<std::string> progress;
    std::string sReason;
    int32_t nSubmit;
    DWORD dwListing;  // of the subfolder
  } cases[] = {
      {{}, "Unable to Submit docs into a Dizode Collection. Dizode error-6", -6, ERROR_SUCCESS},
      {{"Document 1 (a.htm)", "E the disk is full"}, "E the disk is full", 0, ERROR_SUCCESS},
      {{}, SystemErrorText(ERROR_ACCESS_DENIED), 0, ERROR_ACCESS_DENIED},
      {{}, SystemErrorText(ERROR_TOO_MANY_OPEN_FILES), 0, ERROR_TOO_MANY_OPEN_FILES},
  };
  for (const Case& c : cases) {
    toolkit.calls.clear();
    toolkit.Script("TkOpenCollection", -4);
    toolkit.Script("TkSubmit", c.nSubmit);
    toolkit.progressMessages = c.progress;
    ListingFaults faults;
    if (c.dwListing != ERROR_SUCCESS) {
      faults.Fail(sSub, c.dwListing);
    }
    EXPECT_EQ(ErrorOf([&] { C().StartSession(false); }), c.sReason);
    EXPECT_EQ(toolkit.Count("TkOpenCollection"), 2) << c.sReason;  // no open after the build
    EXPECT_EQ(C().Handles().Session(), 0u) << c.sReason;
    EXPECT_EQ(C().Handles().Collection(), 0u) << c.sReason;
    EXPECT_EQ(toolkit.Outstanding(), 0) << c.sReason;
  }
}

TEST_F(SessionStartTest, ACreationLeavesOutALinkLoopAndIndexesEveryOtherPageOnce) {
  SetFolders();
  temp.Write("Help/a.htm");
  temp.Write("Help/sub/b.htm");
  std::filesystem::create_directory_symlink("..", temp.Path() / "Help/sub/up");
  toolkit.Script("TkOpenCollection", -4);
  ASSERT_TRUE(C().StartSession(false));
  ASSERT_NE(toolkit.Last("TkSubmit"), nullptr);
  EXPECT_EQ(toolkit.Last("TkSubmit")->texts, (Ops{Help("a.htm"), Help("sub/b.htm")}));
  EXPECT_NE(C().Handles().Collection(), 0u);
}

// Only "no collection" and "corrupt" lead to a build; a collection that could
// not be opened for a passing reason is left as it is and start-up fails.
TEST_F(SessionStartTest, ACollectionIsBuiltOnlyWhenItIsMissingOrCorrupt) {
  SetFolders();
  temp.Write("Help/a.htm");
  toolkit.sLastErrorText = "opening: database is locked";
  for (int32_t nStatus : {TK_E_NO_COLLECTION, TK_E_CORRUPT, TK_E_IO, TK_E_BUSY, TK_E_NO_MEMORY}) {
    const bool bBuilds = nStatus == TK_E_NO_COLLECTION || nStatus == TK_E_CORRUPT;
    toolkit.calls.clear();
    toolkit.Script("TkOpenCollection", nStatus);
    const std::string sMessage = ErrorOf([&] { C().StartSession(false); });
    EXPECT_EQ(toolkit.Count("TkSubmit"), bBuilds ? 1 : 0) << nStatus;
    EXPECT_EQ(toolkit.Count("TkOpenCollection"), bBuilds ? 3 : 1) << nStatus;
    if (bBuilds) {
      EXPECT_EQ(sMessage, "") << nStatus;
      EXPECT_NE(C().Handles().Collection(), 0u) << nStatus;
    } else {
      EXPECT_EQ(sMessage, "Unable to open the Dizode Collection. Dizode error" +
                              std::to_string(nStatus) + ": opening: database is locked");
      EXPECT_EQ(C().Handles().Collection(), 0u) << nStatus;
    }
  }
}

// Keys an earlier update listed may name pages that have gone since; a
// re-creation that submitted them would index pages that are not there.
TEST_F(SessionStartTest, ARecreationSubmitsOnlyThePagesThatAreThere) {
  SetFolders();
  temp.Write("Help/a.htm");
  toolkit.documents = {{{"VdkVgwKey", Help("a.htm")}}, {{"VdkVgwKey", Help("gone.htm")}}};
  ASSERT_TRUE(C().StartSession(false));
  ASSERT_EQ(C().Docs(), (DocumentSet{Help("a.htm"), Help("gone.htm")}));
  toolkit.calls.clear();
  toolkit.Script("TkOpenCollection", -5);  // found corrupt: built again
  ASSERT_TRUE(C().StartSession(false));
  EXPECT_EQ(toolkit.Last("TkSubmit")->texts, Ops{Help("a.htm")});
  EXPECT_EQ(C().DocTotal(), 1);
}

// A collection marked for rebuilding that cannot be rebuilt (its folder is
// read-only, say) is still there: searched as it is, never not at all.
TEST_F(SessionStartTest, ARebuildThatFailsSearchesTheCollectionAsItIsAndSaysWhy) {
  SetFolders();
  temp.Write("Help/a.htm");
  std::filesystem::create_directories(temp.Path() / "dizode/collections/Searchable Help");
  MarkForRebuild(C().Folders().m_sCollectionDir);
  toolkit.Script("TkOpenCollection", -6);  // the creation
  ASSERT_EQ(ErrorOf([&] { EXPECT_TRUE(C().StartSession(false)); }), "");
  EXPECT_EQ(toolkit.Last("TkOpenCollection")->As<TkCollectionArgs>().mode, 35);
  EXPECT_NE(C().Handles().Collection(), 0u);
  EXPECT_EQ(toolkit.Outstanding(), 2);
  EXPECT_NE(C().IndexProblem().find("could not be rebuilt"), std::string::npos)
      << C().IndexProblem();
  EXPECT_NE(C().IndexProblem().find("Dizode error-6"), std::string::npos) << C().IndexProblem();
}

TEST_F(SessionStartTest, ACollectionThatStillDoesNotOpenAfterCreationFails) {
  SetFolders();
  temp.Write("Help/a.htm");
  toolkit.Script("TkOpenCollection", -4);
  toolkit.Script("TkOpenCollection", 0);
  toolkit.Script("TkOpenCollection", -4);
  EXPECT_FALSE(C().StartSession(false));
  EXPECT_NE(C().Handles().Session(), 0u);
  EXPECT_EQ(C().Handles().Collection(), 0u);
  EXPECT_EQ(toolkit.Outstanding(), 1);
}

TEST_F(SessionStartTest, TheSecondSessionRefusedEndsWithNothingOpen) {
  SetFolders();
  temp.Write("Help/a.htm");
  toolkit.Script("TkOpenCollection", -4);
  for (int32_t n : {0, 0, -1}) {
    toolkit.Script("TkOpenSession", n);
  }
  EXPECT_FALSE(C().StartSession(false));
  EXPECT_EQ(C().Handles().Session(), 0u);
  EXPECT_EQ(C().Handles().Collection(), 0u);
  EXPECT_EQ(toolkit.Outstanding(), 0);
}

TEST_F(SessionStartTest, ASecondStartUpClosesTheHandlesOfTheFirst) {
  Open();
  ASSERT_TRUE(C().StartSession(false));
  EXPECT_EQ(toolkit.Ops()[0], "TkCloseCollection");
  EXPECT_EQ(toolkit.Ops()[1], "TkCloseSession");
  EXPECT_EQ(toolkit.Outstanding(), 2);
}

TEST_F(SessionStartTest, ShowUIWithNoCollectionAndNoAnswerCreatesNothing) {
  WinportScript display;  // no answer queued: the prompt gets the cautious No
  SetFolders();
  toolkit.Script("TkOpenCollection", -4);
  EXPECT_FALSE(C().StartSession(true));
  EXPECT_EQ(toolkit.Ops(), (Ops{"TkOpenSession", "TkOpenCollection"}));
  EXPECT_NE(C().Handles().Session(), 0u);
  EXPECT_FALSE(std::filesystem::exists(temp.Path() / "dizode/collections"));
}

TEST_F(SessionStartTest, ShowUIWithAnExistingCollectionSucceedsWhateverTheDialogReports) {
  WinportScript display;  // the dialog is closed as soon as it waits for input
  SetFolders();
  EXPECT_TRUE(C().StartSession(true));
  EXPECT_NE(C().Handles().Collection(), 0u);
}

// --- CreateCollection on its own ------------------------------------------------

class CreateCollectionTest : public ComponentTest {
 protected:
  void SetUp() override {
    SetFolders();
    EditFolders([&](HostFolders& f) {
      f.m_sStyleDir = temp.InstallDir() + "dizode/common/style/file";
      f.m_sCollectionPath = f.m_sCollectionDir + "/file";
    });
    temp.Write("Help/a.htm");
  }
  std::string Create() {
    return ErrorOf([this] { C().CreateCollection(); });
  }
};

TEST_F(CreateCollectionTest, ARefusedIndexingSessionLeavesNothingOpen) {
  toolkit.Script("TkOpenSession", -5);
  EXPECT_EQ(Create(), "Unable to create a Dizode session. Dizode error-5");
  EXPECT_EQ(C().Handles().Session(), 0u);
  EXPECT_EQ(C().Handles().Collection(), 0u);
  EXPECT_EQ(toolkit.Outstanding(), 0);
}

TEST_F(CreateCollectionTest, ARefusedCreationKeepsTheIndexingSession) {
  toolkit.Script("TkOpenCollection", -6);
  EXPECT_EQ(Create(), "Unable to create a Dizode Collection. Dizode error-6");
  EXPECT_NE(C().Handles().Session(), 0u);
  EXPECT_EQ(C().Handles().Collection(), 0u);
  EXPECT_EQ(toolkit.Outstanding(), 1);
}

TEST_F(CreateCollectionTest, AFailedSubmissionClosesCollectionThenSession) {
  toolkit.Script("TkSubmit", 0x00017FF9);  // high bits ignored, status 32761
  EXPECT_EQ(Create(), "Unable to Submit docs into a Dizode Collection. Dizode error32761");
  EXPECT_EQ(toolkit.Ops(), (Ops{"TkOpenSession", "TkOpenCollection", "TkSubmit",
                                "TkCloseCollection", "TkCloseSession"}));
  EXPECT_EQ(C().Handles().Session(), 0u);
  EXPECT_EQ(C().Handles().Collection(), 0u);
  EXPECT_EQ(toolkit.Outstanding(), 0);
}

TEST_F(CreateCollectionTest, AnErrorReportedDuringTheSubmissionFailsItEvenWithStatusZero) {
  toolkit.progressMessages = {"Document 1 (a.htm)", "E1 cannot read a.htm", "E2 later"};
  EXPECT_EQ(Create(), "E1 cannot read a.htm");
  EXPECT_EQ(C().Handles().Session(), 0u);
  EXPECT_EQ(C().Handles().Collection(), 0u);
  EXPECT_EQ(toolkit.Outstanding(), 0);
}

TEST_F(CreateCollectionTest, AnEarlierRunsErrorDoesNotFailANewCreation) {
  C().LastError().Record("E from an earlier run");
  EXPECT_EQ(Create(), "");
  EXPECT_EQ(C().LastError().Text(), "");
}

TEST_F(CreateCollectionTest, AnExistingCollectionFolderIsReplacedNotAFailure) {
  std::filesystem::create_directories(temp.Path() / "dizode/collections/Searchable Help");
  EXPECT_EQ(Create(), "");
  EXPECT_EQ(toolkit.Count("TkSubmit"), 1);
  EXPECT_EQ(toolkit.Last("TkOpenCollection")->As<TkCollectionArgs>().mode, 547);
}

TEST_F(CreateCollectionTest, AMissingInstallFolderFailsWithTheSystemTextBeforeAnyRequest) {
  EditFolders([&](HostFolders& f) { f.m_sInstallDir = temp.InstallDir() + "missing/"; });
  const std::string sMessage = Create();
  EXPECT_TRUE(sMessage == SystemErrorText(ERROR_PATH_NOT_FOUND) ||
              sMessage == SystemErrorText(ERROR_FILE_NOT_FOUND))
      << sMessage;
  EXPECT_TRUE(toolkit.calls.empty());
}

TEST_F(CreateCollectionTest, AHelpFolderThatCannotBeListedKeepsSessionAndCollectionOpen) {
  ListingFaults faults;
  faults.Fail(temp.InstallDir() + "Help", ERROR_ACCESS_DENIED);
  EXPECT_EQ(Create(), SystemErrorText(ERROR_ACCESS_DENIED));
  EXPECT_NE(C().Handles().Session(), 0u);
  EXPECT_NE(C().Handles().Collection(), 0u);
  EXPECT_EQ(toolkit.Count("TkSubmit"), 0);
}

TEST_F(CreateCollectionTest, AnEmptyHelpFolderIsStillSubmittedWithCountZero) {
  std::filesystem::remove(temp.Path() / "Help/a.htm");
  EXPECT_EQ(Create(), "");
  EXPECT_EQ(toolkit.Last("TkSubmit")->As<TkSubmitArgs>().count, 0);
  EXPECT_EQ(C().DocTotal(), 0);
}

}  // namespace
