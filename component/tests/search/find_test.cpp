// Tests of Find against the fake toolkit: arguments, records, releases and
// the shape of the result.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "component/tests/support/component_fixture.h"
#include "component/tests/support/listing_faults.h"
#include "winport/tests/support/hr_assert.h"

namespace {

class FindTest : public ComponentTest {
 protected:
  void SetUp() override { Open(); }

  void AddHit(const std::string& sScore, const std::string& sKey, const std::string& sTitle) {
    toolkit.documents.push_back({{"SCORE", sScore}, {"VdkVgwKey", sKey}, {"Title", sTitle}});
  }

  HRESULT Find(const char16_t* sQuery, VARIANT* pDirs = nullptr, LONG bTitleOnly = 0) {
    winport::Bstr query(sQuery);
    return C().Find(query.Get(), pDirs, bTitleOnly, results.Put());
  }

  // The result row at index, or an empty vector for an empty element.
  std::vector<std::string> Row(LONG index) {
    winport::Variant element;
    EXPECT_HR(S_OK, SafeArrayGetElement(V_ARRAY(results.Get()), &index, element.Put()));
    if (V_VT(element.Get()) == VT_EMPTY) {
      return {};
    }
    EXPECT_EQ(V_VT(element.Get()), VT_ARRAY | VT_VARIANT);
    std::vector<std::string> row;
    for (LONG column = 0; column < 3; ++column) {
      winport::Variant cell;
      EXPECT_HR(S_OK, SafeArrayGetElement(V_ARRAY(element.Get()), &column, cell.Put()));
      EXPECT_EQ(V_VT(cell.Get()), VT_BSTR);
      row.push_back(winport::Bstr(V_BSTR(cell.Get())).ToUtf8());
    }
    return row;
  }

  LONG Count() {
    LONG upper = -1;
    SafeArrayGetUBound(V_ARRAY(results.Get()), 1, &upper);
    return upper + 1;
  }

  winport::Variant results;
};

// A folder list as the host builds it.
class FolderList {
 public:
  FolderList(std::initializer_list<const char16_t*> folders, LONG lowerBound = 0) {
    winport::SafeArray array =
        winport::SafeArray::Vector(VT_VARIANT, lowerBound, static_cast<ULONG>(folders.size()));
    LONG index = lowerBound;
    for (const char16_t* folder : folders) {
      winport::Variant text{winport::Bstr(folder)};
      SafeArrayPutElement(array.Get(), &index, text.Get());
      ++index;
    }
    V_VT(m_list.Get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(m_list.Get()) = array.Detach();
  }
  VARIANT* Get() { return m_list.Get(); }

 private:
  winport::Variant m_list;
};

TEST(FindWithoutSessionTest, FailsBeforeLookingAtTheArguments) {
  FakeToolkit toolkit;
  winport::ComPtr<ViveviVadiro> component(new ViveviVadiro);
  EXPECT_HR(E_FAIL, component->Find(nullptr, nullptr, 0, nullptr));
  EXPECT_TRUE(toolkit.calls.empty());
}

TEST_F(FindTest, RejectsAMissingQueryOrResultWithoutAnyRequest) {
  winport::Bstr query(u"x");
  EXPECT_HR(E_INVALIDARG, C().Find(query.Get(), nullptr, 0, nullptr));
  EXPECT_HR(E_INVALIDARG, C().Find(nullptr, nullptr, 0, results.Put()));
  EXPECT_TRUE(toolkit.calls.empty());
}

TEST_F(FindTest, SendsTheRecordsInOrderAndReleasesNewestFirst) {
  AddHit("100", Help("a.htm"), "A");
  ASSERT_HR(S_OK, Find(u"help <AND> search"));
  EXPECT_EQ(toolkit.Ops(),
            (Ops{"TkQueryCollection", "TkFreeCollectionReply", "TkSearch", "TkGetSearchInfo",
                 "TkReadDocBatch", "TkFreeDocBatch", "TkFreeSearchInfo", "TkFreeSearch"}));
  const auto request = toolkit.calls[0].As<TkCollectionRequestArgs>();
  EXPECT_EQ(request.size, sizeof(TkCollectionRequestArgs));
  EXPECT_EQ(request.version, 576);
  EXPECT_EQ(request.request, 11u);
  EXPECT_EQ(toolkit.calls[0].nHandle, C().Handles().Collection());

  const ToolkitCall& search = toolkit.calls[2];
  EXPECT_EQ(search.nHandle, C().Handles().Session());
  EXPECT_EQ(search.texts[0], "help <AND> search");
  const auto searchArgs = search.As<TkSearchArgs>();
  EXPECT_EQ(searchArgs.size, sizeof(TkSearchArgs));
  EXPECT_EQ(searchArgs.param48, -1);
  EXPECT_EQ(toolkit.calls[3].As<TkSearchInfoArgs>().size, sizeof(TkSearchInfoArgs));

  const ToolkitCall& batch = toolkit.calls[4];
  const auto batchArgs = batch.As<TkDocBatchArgs>();
  EXPECT_EQ(batchArgs.size, sizeof(TkDocBatchArgs));
  EXPECT_EQ(batchArgs.search, toolkit.calls[3].nHandle);
  EXPECT_EQ(batchArgs.first, 0u);
  EXPECT_EQ(batchArgs.count, 1);
  EXPECT_EQ(batchArgs.fieldCount, 3);
  EXPECT_EQ(batch.texts, (Ops{"SCORE", "VdkVgwKey", "Title"}));
  EXPECT_EQ(toolkit.Outstanding(), 2);
  EXPECT_EQ(toolkit.BadReleases(), 0);

  ExpectRecord<TkCollectionRequestArgs>(
      toolkit.calls[0], [](TkCollectionRequestArgs& r, const auto&) { r.request = 11; });
  ExpectRecord<TkSearchArgs>(search, [](TkSearchArgs& r, const TkSearchArgs& a) {
    r.query = a.query;
    r.param48 = -1;
  });
  ExpectRecord<TkSearchInfoArgs>(toolkit.calls[3], [](TkSearchInfoArgs&, const auto&) {});
  ExpectRecord<TkDocBatchArgs>(batch, [](TkDocBatchArgs& r, const TkDocBatchArgs& a) {
    r.search = a.search;
    r.count = 1;
    r.fieldCount = 3;
    r.fieldNames = a.fieldNames;
  });
}

TEST_F(FindTest, TitlesOnlyPutsThePrefixInFrontEvenOfAnEmptyQuery) {
  ASSERT_HR(S_OK, Find(u"", nullptr, 1));
  EXPECT_EQ(toolkit.Last("TkSearch")->texts[0], "TITLE <CONTAINS> ");
  ASSERT_HR(S_OK, Find(u"words", nullptr, -1));
  EXPECT_EQ(toolkit.Last("TkSearch")->texts[0], "TITLE <CONTAINS> words");
  ASSERT_HR(S_OK, Find(u""));
  EXPECT_EQ(toolkit.Last("TkSearch")->texts[0], "");
}

TEST_F(FindTest, AFailedRequestReleasesWhatWasObtainedAndLeavesTheResultAlone) {
  struct Case {
    const char* sOp;
    Ops releases;
  } cases[] = {
      {"TkSearch", {}},
      {"TkGetSearchInfo", {"TkFreeSearch"}},
      {"TkReadDocBatch", {"TkFreeSearchInfo", "TkFreeSearch"}},
  };
  AddHit("1", Help("a.htm"), "A");
  for (const Case& c : cases) {
    toolkit.calls.clear();
    toolkit.Script(c.sOp, 0x0005FFFE);
    V_VT(results.Put()) = VT_I4;
    V_I4(results.Get()) = 99;
    winport::Bstr query(u"a");
    EXPECT_HR(E_FAIL, C().Find(query.Get(), nullptr, 0, results.Get())) << c.sOp;
    Ops ops = toolkit.Ops();
    Ops after(std::find(ops.begin(), ops.end(), c.sOp) + 1, ops.end());
    EXPECT_EQ(after, c.releases) << c.sOp;
    EXPECT_EQ(V_VT(results.Get()), VT_I4) << c.sOp;
    EXPECT_EQ(toolkit.Outstanding(), 2) << c.sOp;
  }
}

TEST_F(FindTest, OnlyTheLowSixteenBitsOfAReturnValueDecide) {
  for (const char* sOp : {"TkSearch", "TkGetSearchInfo", "TkReadDocBatch"}) {
    toolkit.Script(sOp, 0x7FFF0000);
  }
  AddHit("1", Help("a.htm"), "A");
  EXPECT_HR(S_OK, Find(u"a"));
  EXPECT_EQ(Count(), 1);
}

TEST_F(FindTest, AFailedRefreshRequestDoesNotStopTheSearch) {
  toolkit.Script("TkQueryCollection", -1);
  AddHit("1", Help("a.htm"), "A");
  EXPECT_HR(S_OK, Find(u"a"));
  EXPECT_EQ(Count(), 1);
}

TEST_F(FindTest, NothingFoundLeavesTheResultEmpty) {
  V_VT(results.Put()) = VT_I4;
  winport::Bstr query(u"none");
  EXPECT_HR(S_OK, C().Find(query.Get(), nullptr, 0, results.Get()));
  EXPECT_EQ(V_VT(results.Get()), VT_EMPTY);
}

TEST_F(FindTest, EveryHitIsARowOfScoreKeyAndTitleInTheToolkitsOrder) {
  AddHit("100", Help("b.htm"), "B page");
  AddHit("42", Help("tags/a.htm"), "T\xC3\xADtulo");
  ASSERT_HR(S_OK, Find(u"x"));
  ASSERT_EQ(V_VT(results.Get()), VT_ARRAY | VT_VARIANT);
  ASSERT_EQ(Count(), 2);
  EXPECT_EQ(Row(0), (Ops{"100", Help("b.htm"), "B page"}));
  EXPECT_EQ(Row(1), (Ops{"42", Help("tags/a.htm"), "T\xC3\xADtulo"}));
}

TEST_F(FindTest, TheFolderFilterLeavesAnEmptyElementForEachHitOutsideIt) {
  AddHit("3", Help("intro/a.htm"), "A");
  AddHit("2", Help("tags/b.htm"), "B");
  AddHit("1", Help("Tags/c.htm"), "C");
  FolderList tags({u"/tags"});
  ASSERT_HR(S_OK, Find(u"x", tags.Get()));
  ASSERT_EQ(Count(), 3);
  EXPECT_TRUE(Row(0).empty());
  ASSERT_EQ(Row(1).size(), 3u);
  EXPECT_EQ(Row(1), (Ops{"2", Help("tags/b.htm"), "B"}));
  EXPECT_TRUE(Row(2).empty());  // matching is case-sensitive

  FolderList none({});
  ASSERT_HR(S_OK, Find(u"x", none.Get()));
  ASSERT_EQ(Count(), 3);
  for (LONG i = 0; i < 3; ++i) {
    EXPECT_TRUE(Row(i).empty());
  }

  FolderList prefixAndEmpty({u"/ta", u""});
  ASSERT_HR(S_OK, Find(u"x", prefixAndEmpty.Get()));
  ASSERT_EQ(Count(), 3);
  for (LONG i = 0; i < 3; ++i) {
    EXPECT_FALSE(Row(i).empty());
  }
}

TEST_F(FindTest, AFolderListIsReadFromItsLowerToItsUpperBound) {
  AddHit("1", Help("one/a.htm"), "A");
  AddHit("2", Help("two/b.htm"), "B");
  FolderList list({u"/one/", u"/two/"}, 5);
  ASSERT_HR(S_OK, Find(u"x", list.Get()));
  EXPECT_FALSE(Row(0).empty());
  EXPECT_FALSE(Row(1).empty());
}

TEST_F(FindTest, AFolderListOfTheWrongShapeOrTypeIsRejected) {
  AddHit("1", Help("a.htm"), "A");
  winport::Variant number(7);
  EXPECT_HR(E_INVALIDARG, Find(u"x", number.Get()));
  EXPECT_EQ(V_VT(results.Get()), VT_EMPTY);

  SAFEARRAYBOUND bounds[2] = {{1, 0}, {1, 0}};
  winport::Variant twoDimensional;
  V_VT(twoDimensional.Get()) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(twoDimensional.Get()) = SafeArrayCreate(VT_VARIANT, 2, bounds);
  EXPECT_HR(E_INVALIDARG, Find(u"x", twoDimensional.Get()));

  winport::SafeArray numbers = winport::SafeArray::Vector(VT_VARIANT, 0, 1);
  LONG index = 0;
  winport::Variant seven(7);
  SafeArrayPutElement(numbers.Get(), &index, seven.Get());
  winport::Variant numberList;
  V_VT(numberList.Get()) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(numberList.Get()) = numbers.Detach();
  EXPECT_HR(E_FAIL, Find(u"x", numberList.Get()));
  EXPECT_EQ(toolkit.Outstanding(), 2);
}

TEST_F(FindTest, AFolderElementIsReadOnlyByHitsThatReachIt) {
  winport::SafeArray folders = winport::SafeArray::Vector(VT_VARIANT, 0, 2);
  LONG index = 0;
  winport::Variant one{winport::Bstr(u"/one/")};
  SafeArrayPutElement(folders.Get(), &index, one.Get());
  index = 1;
  winport::Variant seven(7);
  SafeArrayPutElement(folders.Get(), &index, seven.Get());
  winport::Variant list;
  V_VT(list.Get()) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(list.Get()) = folders.Detach();

  AddHit("2", Help("one/a.htm"), "A");
  AddHit("1", Help("one/b.htm"), "B");
  ASSERT_HR(S_OK, Find(u"x", list.Get()));  // both pass before the number
  EXPECT_EQ(Row(1)[2], "B");

  AddHit("0", Help("two/c.htm"), "C");
  EXPECT_HR(E_FAIL, Find(u"x", list.Get()));  // this one reaches it
}

TEST_F(FindTest, AWrongFolderListIsNotLookedAtWhenNothingIsFound) {
  winport::Variant number(7);
  EXPECT_HR(S_OK, Find(u"x", number.Get()));
}

TEST_F(FindTest, APendingRefreshUpdatesFirstAndClearsTheFlag) {
  temp.Write("Help/new.htm");
  C().Watcher().MarkPending();
  ASSERT_HR(S_OK, Find(u"x"));
  Ops ops = toolkit.Ops();
  ASSERT_GE(ops.size(), 8u);
  EXPECT_EQ(ops[0], "TkSearch");  // the listing of the update
  EXPECT_EQ(toolkit.Count("TkSubmit"), 1);
  EXPECT_FALSE(C().Watcher().IsPending());
  toolkit.calls.clear();
  ASSERT_HR(S_OK, Find(u"x"));
  EXPECT_EQ(toolkit.Count("TkSubmit"), 0);
}

TEST_F(FindTest, ASearchThatFindsTheCollectionCorruptFailsAndTheNextStartUpBuildsItAgain) {
  std::filesystem::create_directories(temp.Path() / "dizode/collections/Searchable Help");
  toolkit.Script("TkSearch", TK_E_CORRUPT);
  EXPECT_HR(E_FAIL, Find(u"x"));
  toolkit.calls.clear();
  ASSERT_TRUE(C().StartSession(false));
  EXPECT_EQ(toolkit.Count("TkSubmit"), 1);
  EXPECT_EQ(toolkit.Count("TkOpenCollection"), 2);
}

// An update that fails before a search (the help folder gone or unreadable,
// the disk full) leaves the collection as it was: the search answers from it
// with S_FALSE, the error object says why, and the next Find tries again.
TEST_F(FindTest, AFailedPreUpdateSearchesTheCollectionAsItWasAndSaysWhy) {
  temp.Write("Help/new.htm");
  AddHit("1", Help("a.htm"), "A");
  const struct {
    const char* sName;
    bool bScanFails;  // else the submission does
    std::string sReason;
  } cases[] = {
      {"scan", true, SystemErrorText(ERROR_ACCESS_DENIED)},
      {"submission", false, "Unable to add new docs into a Dizode Collection. Dizode error-6"},
  };
  for (const auto& c : cases) {
    ListingFaults faults;
    if (c.bScanFails) {
      faults.Fail(temp.InstallDir() + "Help", ERROR_ACCESS_DENIED);
    } else {
      toolkit.Script("TkSubmit", -6);
    }
    C().Watcher().MarkPending();
    SetErrorInfo(0, nullptr);
    EXPECT_HR(S_FALSE, Find(u"x")) << c.sName;
    EXPECT_EQ(Count(), 1) << c.sName;
    EXPECT_TRUE(C().Watcher().IsPending()) << c.sName;
    EXPECT_NE(C().Handles().Collection(), 0u) << c.sName;
    const std::string sWarning = TakeDescription();
    EXPECT_NE(sWarning.find(c.sReason), std::string::npos) << sWarning;
    EXPECT_NE(sWarning.find(C().Folders().m_sHelpDir), std::string::npos) << sWarning;
  }
  // Once the update completes, the search says nothing more.
  EXPECT_HR(S_OK, Find(u"x"));
  EXPECT_FALSE(C().Watcher().IsPending());
}

// A NUL inside the text would end the query there for the toolkit.
TEST_F(FindTest, ANulInTheQuerySeparatesWordsInsteadOfEndingTheQuery) {
  const char16_t sText[] = u"printer\0driver";
  winport::Bstr query(sText, 14);
  ASSERT_EQ(SysStringLen(query.Get()), 14u);
  ASSERT_HR(S_OK, C().Find(query.Get(), nullptr, 0, results.Put()));
  EXPECT_EQ(toolkit.Last("TkSearch")->texts[0], "printer driver");
}

}  // namespace
