// Tests of the incremental update and the indexed listing against the fake
// toolkit and a real help folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "component/tests/support/component_fixture.h"
#include "component/tests/support/listing_faults.h"
#include "component/toolkit/failure_texts.h"
#include "component/toolkit/toolkit_error.h"

namespace {

class UpdateTest : public ComponentTest {
 protected:
  void SetUp() override { Open(); }

  void Indexed(std::initializer_list<std::string> keys) {
    toolkit.documents.clear();
    for (const std::string& key : keys) {
      toolkit.documents.push_back({{"VdkVgwKey", key}});
    }
  }
  // The keys of each submission of the given operation.
  std::vector<Ops> Submitted(uint32_t nOperation) {
    std::vector<Ops> out;
    for (const ToolkitCall& call : toolkit.calls) {
      if (call.sOp == "TkSubmit" && call.As<TkSubmitArgs>().operation == nOperation) {
        out.push_back(call.texts);
      }
    }
    return out;
  }
  std::string Update() {
    return ErrorOf([this] { C().UpdateCollection(); });
  }
};

TEST_F(UpdateTest, AddsNewPagesBeforeDeletingVanishedOnesEachInOneSortedSubmission) {
  temp.Write("Help/0first.htm");
  temp.Write("Help/kept.htm");
  temp.Write("Help/zz/last.htm");
  Indexed({Help("kept.htm"), Help("old.htm"), Help("Kept.htm")});
  C().Watcher().MarkPending();
  ASSERT_EQ(Update(), "");
  EXPECT_EQ(Submitted(2), (std::vector<Ops>{{Help("0first.htm"), Help("zz/last.htm")}}));
  EXPECT_EQ(Submitted(3), (std::vector<Ops>{{Help("Kept.htm"), Help("old.htm")}}));
  Ops ops = toolkit.Ops();
  EXPECT_EQ(Ops(ops.end() - 2, ops.end()), (Ops{"TkQueryCollection", "TkFreeCollectionReply"}));
  EXPECT_EQ(toolkit.Last("TkQueryCollection")->nHandle, C().Handles().Collection());
  EXPECT_EQ(toolkit.Last("TkSubmit")->nHandle, C().Handles().Collection());
  EXPECT_EQ(toolkit.Last("TkQueryCollection")->As<TkCollectionRequestArgs>().request, 11u);
  EXPECT_FALSE(C().Watcher().IsPending());
  // m_docs keeps the listing taken at the start.
  EXPECT_EQ(C().Docs(), (DocumentSet{Help("kept.htm"), Help("old.htm"), Help("Kept.htm")}));
}

TEST_F(UpdateTest, TheListingAsksForEveryDocumentsKeyWithoutQueryText) {
  Indexed({Help("a.htm"), Help("a.htm")});
  temp.Write("Help/a.htm");
  ASSERT_EQ(Update(), "");
  const ToolkitCall* search = toolkit.Last("TkSearch");
  EXPECT_EQ(search->texts[0], "<null>");
  EXPECT_EQ(search->As<TkSearchArgs>().param48, -1);
  const ToolkitCall* batch = toolkit.Last("TkReadDocBatch");
  EXPECT_EQ(batch->texts, Ops{"VdkVgwKey"});
  EXPECT_EQ(batch->As<TkDocBatchArgs>().count, 2);
  EXPECT_EQ(batch->As<TkDocBatchArgs>().first, 0u);
  EXPECT_EQ(C().Docs().size(), 1u);  // a key listed twice is held once
  EXPECT_EQ(toolkit.Count("TkSubmit"), 0);
}

TEST_F(UpdateTest, AnUnchangedFolderSubmitsNothingButStillRefreshes) {
  temp.Write("Help/a.htm");
  Indexed({Help("a.htm")});
  C().Watcher().MarkPending();
  ASSERT_EQ(Update(), "");
  EXPECT_EQ(toolkit.Count("TkSubmit"), 0);
  EXPECT_EQ(toolkit.Count("TkQueryCollection"), 1);
  EXPECT_FALSE(C().Watcher().IsPending());
}

TEST_F(UpdateTest, AFailedListingSubmitsNothingRaisesNothingAndClearsTheFlag) {
  for (const char* sOp : {"TkSearch", "TkGetSearchInfo", "TkReadDocBatch"}) {
    toolkit.calls.clear();
    temp.Write("Help/a.htm");
    toolkit.Script(sOp, -1);
    C().Watcher().MarkPending();
    EXPECT_EQ(Update(), "") << sOp;
    EXPECT_EQ(toolkit.Count("TkSubmit"), 0) << sOp;
    EXPECT_FALSE(C().Watcher().IsPending()) << sOp;
    EXPECT_TRUE(C().Docs().empty()) << sOp;
    EXPECT_EQ(toolkit.Outstanding(), 2) << sOp;
  }
}

// The toolkit rolls a failed submission back: the collection answers as it
// did, so it stays open for searches, and says why it is behind.
TEST_F(UpdateTest, AFailedSubmissionKeepsTheCollectionOpenSkipsTheDeletionsAndSaysWhy) {
  temp.Write("Help/new.htm");
  Indexed({Help("old.htm")});
  const struct {
    const char* sNewPage;  // or null: only a deletion to make
    std::string sMessage;
  } cases[] = {
      {"Help/new.htm", "Unable to add new docs into a Dizode Collection. Dizode error-6"},
      {nullptr, "Unable to remove docs from a Dizode Collection. Dizode error-6"},
  };
  for (const auto& c : cases) {
    if (!c.sNewPage) std::filesystem::remove(temp.Path() / "Help/new.htm");
    toolkit.calls.clear();
    toolkit.Script("TkSubmit", -6);
    EXPECT_EQ(Update(), c.sMessage);
    EXPECT_EQ(toolkit.Count("TkSubmit"), 1);
    EXPECT_EQ(toolkit.Count("TkCloseCollection"), 0);
    EXPECT_NE(C().Handles().Collection(), 0u);
    EXPECT_TRUE(C().Watcher().IsPending());
    EXPECT_NE(C().IndexProblem().find(c.sMessage), std::string::npos) << C().IndexProblem();
  }
  // The next update that completes has nothing more to say.
  ASSERT_EQ(Update(), "");
  EXPECT_EQ(C().IndexProblem(), "");
}

TEST_F(UpdateTest, AFailedScanSubmitsNothingAndKeepsTheCollectionAndTheFlag) {
  Indexed({Help("old.htm")});
  ListingFaults faults;
  faults.Fail(temp.Path().string() + "/Help", ERROR_ACCESS_DENIED);
  C().Watcher().MarkPending();
  EXPECT_EQ(Update(), SystemErrorText(ERROR_ACCESS_DENIED));
  EXPECT_EQ(toolkit.Count("TkSubmit"), 0);
  EXPECT_NE(C().Handles().Collection(), 0u);
  EXPECT_TRUE(C().Watcher().IsPending());
}

// A help folder missing for a moment (moved away and back) is no folder
// whose every page was deleted: the update fails with the reason, and the
// collection keeps its pages for the next one.
TEST_F(UpdateTest, AHelpFolderThatIsGoneFailsTheUpdateAndDeletesNothing) {
  Indexed({Help("a.htm"), Help("sub/b.htm")});
  std::filesystem::remove_all(temp.Path() / "Help");
  EXPECT_EQ(Update(), SystemErrorText(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(toolkit.Count("TkSubmit"), 0);
  EXPECT_TRUE(C().Watcher().IsPending());
  EXPECT_NE(C().IndexProblem().find(C().Folders().m_sHelpDir), std::string::npos)
      << C().IndexProblem();
}

// A listing the system cuts short part-way is no shorter folder.
TEST_F(UpdateTest, AListingThatFailsPartWayFailsTheUpdateAndDeletesNothing) {
  std::vector<std::string> keys;
  for (const char* sName : {"a.htm", "b.htm", "c.htm", "d.htm", "e.htm", "f.htm"}) {
    temp.Write(std::string("Help/") + sName);
    keys.push_back(Help(sName));
  }
  toolkit.documents.clear();
  for (const std::string& key : keys) toolkit.documents.push_back({{"VdkVgwKey", key}});
  ListingFaults faults;
  faults.FailAfter(temp.Path().string() + "/Help", 4, ERROR_NOT_ENOUGH_MEMORY);
  EXPECT_EQ(Update(), SystemErrorText(ERROR_NOT_ENOUGH_MEMORY));
  EXPECT_EQ(toolkit.Count("TkSubmit"), 0);
}

// A subfolder that cannot be listed must not read as one whose pages are all
// gone: the collection keeps every page, and nothing new is added either.
TEST_F(UpdateTest, ASubfolderThatCannotBeListedFailsTheUpdateAndTheCollectionKeepsItsPages) {
  temp.Write("Help/kept.htm");
  temp.Write("Help/new.htm");
  temp.Write("Help/locked/inner.htm");
  Indexed({Help("kept.htm"), Help("locked/inner.htm")});
  for (DWORD dwError : {ERROR_ACCESS_DENIED, ERROR_TOO_MANY_OPEN_FILES}) {
    toolkit.calls.clear();
    ListingFaults faults;
    faults.Fail(temp.Path().string() + "/Help/locked", dwError);
    C().Watcher().MarkPending();
    EXPECT_EQ(Update(), SystemErrorText(dwError));
    EXPECT_EQ(toolkit.Count("TkSubmit"), 0) << dwError;
    EXPECT_NE(C().Handles().Collection(), 0u) << dwError;
    EXPECT_TRUE(C().Watcher().IsPending()) << dwError;
  }
}

// A corrupt collection fails the update (it never passes for one with
// nothing to change), and the next start-up builds it again even when
// opening does not notice the damage.
TEST_F(UpdateTest, ACorruptCollectionFailsTheUpdateAndIsBuiltAgainAtTheNextStartUp) {
  const auto collectionDir = temp.Path() / "dizode/collections/Searchable Help";
  std::filesystem::create_directories(collectionDir);
  temp.Write("Help/a.htm");
  for (const char* sOp : {"TkSearch", "TkReadDocBatch", "TkSubmit"}) {
    toolkit.calls.clear();
    toolkit.Script(sOp, TK_E_CORRUPT);
    C().Watcher().MarkPending();
    const std::string sMessage = Update();
    EXPECT_NE(sMessage.find("Dizode error-5"), std::string::npos) << sOp << ": " << sMessage;
    EXPECT_TRUE(C().Watcher().IsPending()) << sOp;

    toolkit.calls.clear();
    ASSERT_TRUE(C().StartSession(false)) << sOp;
    ASSERT_EQ(toolkit.Count("TkOpenCollection"), 2) << sOp;
    EXPECT_EQ(toolkit.Count("TkSubmit"), 1) << sOp;
    const auto firstOpen =
        std::find_if(toolkit.calls.begin(), toolkit.calls.end(),
                     [](const ToolkitCall& c) { return c.sOp == "TkOpenCollection"; });
    EXPECT_EQ(firstOpen->As<TkCollectionArgs>().mode, 547) << sOp;

    // Built once: the start-up after opens it as usual.
    toolkit.calls.clear();
    ASSERT_TRUE(C().StartSession(false)) << sOp;
    EXPECT_EQ(toolkit.Last("TkOpenCollection")->As<TkCollectionArgs>().mode, 35) << sOp;
    EXPECT_EQ(toolkit.Count("TkOpenCollection"), 1) << sOp;
  }
}

TEST_F(UpdateTest, AListingThatFailsForAPassingReasonIsNoReasonToBuildAgain) {
  std::filesystem::create_directories(temp.Path() / "dizode/collections/Searchable Help");
  toolkit.Script("TkSearch", TK_E_BUSY);
  EXPECT_EQ(Update(), "");
  toolkit.calls.clear();
  ASSERT_TRUE(C().StartSession(false));
  EXPECT_EQ(toolkit.Count("TkOpenCollection"), 1);
}

// A collection that can be read but not written still answers searches: the
// update gives up without failing and leaves it open.
TEST_F(UpdateTest, AReadOnlyCollectionIsLeftAsItIsAndStaysOpen) {
  temp.Write("Help/new.htm");
  Indexed({Help("old.htm")});
  toolkit.Script("TkSubmit", TK_E_READ_ONLY);
  C().Watcher().MarkPending();
  EXPECT_EQ(Update(), "");
  EXPECT_EQ(toolkit.Count("TkSubmit"), 1);  // no deletion after the refused addition
  EXPECT_NE(C().Handles().Collection(), 0u);
  EXPECT_FALSE(C().Watcher().IsPending());
  EXPECT_EQ(toolkit.Count("TkQueryCollection"), 1);
  EXPECT_NE(C().IndexProblem().find("read-only"), std::string::npos) << C().IndexProblem();
}

TEST_F(UpdateTest, ARenamedPageIsAddedUnderItsNewKeyAndDeletedUnderItsOld) {
  temp.Write("Help/renamed.htm");
  Indexed({Help("original.htm")});
  ASSERT_EQ(Update(), "");
  EXPECT_EQ(Submitted(2), (std::vector<Ops>{{Help("renamed.htm")}}));
  EXPECT_EQ(Submitted(3), (std::vector<Ops>{{Help("original.htm")}}));
}

TEST_F(UpdateTest, AFailedSubmissionCarriesTheToolkitsReason) {
  temp.Write("Help/new.htm");
  C().Watcher().MarkPending();
  toolkit.Script("TkSubmit", -6);
  toolkit.sLastErrorText = "adding pages: database or disk is full";
  EXPECT_EQ(Update(), std::string(kAddDocsFailed) + "-6: adding pages: database or disk is full");
}

}  // namespace
