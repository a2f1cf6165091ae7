// End-to-end tests: the component over the real engine (loaded from beside
// the test program) with the fake host, on temporary help folders.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <thread>

#include "component/com/vivevi_vadiro.h"
#include "component/tests/support/fake_host.h"
#include "component/tests/support/temp_folder.h"
#include "winport/owners.h"
#include "winport/tests/support/hr_assert.h"

namespace {

using namespace std::chrono_literals;

std::string Page(const std::string& sTitle, const std::string& sBody) {
  return "<html><head><title>" + sTitle + "</title></head><body><p>" + sBody + "</p></body></html>";
}

class EndToEndTest : public ::testing::Test {
 protected:
  EndToEndTest() : host(Script()) {
    std::filesystem::create_directories(temp.Path() / "dizode/common");
    temp.Write("Help/intro.htm", Page("Getting started", "welcome to the walrus manual"));
    temp.Write("Help/tags/colour.htm", Page("Colour tags", "paint every walrus blue"));
    temp.Write("Help/tags/size.html", Page("Size tags", "measure the penguin"));
  }

  FakeHostScript Script() const {
    const std::string sDir = temp.InstallDir();
    return FakeHostScript{.sInstallDir = std::u16string(sDir.begin(), sDir.end())};
  }

  static winport::ComPtr<ViveviVadiro> NewComponent() {
    return winport::ComPtr<ViveviVadiro>(new ViveviVadiro);
  }

  // The rows Find returns as key and title, empty elements left out; Find
  // must return hrExpected.
  static std::map<std::string, std::string> Rows(ViveviVadiro& component, const char16_t* sQuery,
                                                 LONG bTitleOnly = 0, VARIANT* pDirs = nullptr,
                                                 HRESULT hrExpected = S_OK) {
    winport::Bstr query(sQuery);
    winport::Variant results;
    EXPECT_HR(hrExpected, component.Find(query.Get(), pDirs, bTitleOnly, results.Get()));
    std::map<std::string, std::string> rows;
    if (V_VT(results.Get()) == VT_EMPTY) {
      return rows;
    }
    SAFEARRAY* psa = V_ARRAY(results.Get());
    LONG upper = -1;
    SafeArrayGetUBound(psa, 1, &upper);
    for (LONG i = 0; i <= upper; ++i) {
      winport::Variant row;
      SafeArrayGetElement(psa, &i, row.Put());
      if (V_VT(row.Get()) == VT_EMPTY) {
        continue;
      }
      winport::Variant key, title;
      for (LONG column : {1, 2}) {
        SafeArrayGetElement(V_ARRAY(row.Get()), &column, (column == 1 ? key : title).Put());
      }
      rows[winport::Bstr(V_BSTR(key.Get())).ToUtf8()] = winport::Bstr(V_BSTR(title.Get())).ToUtf8();
    }
    return rows;
  }

  // The keys of the rows Find returns.
  static std::set<std::string> Keys(ViveviVadiro& component, const char16_t* sQuery,
                                    LONG bTitleOnly = 0, VARIANT* pDirs = nullptr,
                                    HRESULT hrExpected = S_OK) {
    std::set<std::string> keys;
    for (const auto& row : Rows(component, sQuery, bTitleOnly, pDirs, hrExpected)) {
      keys.insert(row.first);
    }
    return keys;
  }

  // A folder list of one folder, as Find takes it.
  static winport::Variant Folders(const char16_t* sFolder) {
    winport::SafeArray folders = winport::SafeArray::Vector(VT_VARIANT, 0, 1);
    LONG index = 0;
    winport::Variant folder{winport::Bstr(sFolder)};
    SafeArrayPutElement(folders.Get(), &index, folder.Get());
    winport::Variant list;
    V_VT(list.Get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(list.Get()) = folders.Detach();
    return list;
  }

  std::string Help(const std::string& sName) const {
    return temp.Path().string() + "/Help/" + sName;
  }

  TempFolder temp;
  FakeHost host;
};

TEST_F(EndToEndTest, TheFirstInitializeBuildsTheCollectionAndFindReturnsThePages) {
  auto component = NewComponent();
  ASSERT_HR(S_OK, component->Initialize(0));
  EXPECT_TRUE(std::filesystem::is_directory(temp.Path() / "dizode/collections/Searchable Help"));
  EXPECT_EQ(Keys(*component.Get(), u"walrus"),
            (std::set<std::string>{Help("intro.htm"), Help("tags/colour.htm")}));
  EXPECT_EQ(Keys(*component.Get(), u"tags", 1),
            (std::set<std::string>{Help("tags/colour.htm"), Help("tags/size.html")}));
  EXPECT_TRUE(Keys(*component.Get(), u"welcome", 1).empty());

  winport::Variant list = Folders(u"/tags/");
  EXPECT_EQ(Keys(*component.Get(), u"walrus", 0, list.Get()),
            (std::set<std::string>{Help("tags/colour.htm")}));
}

// The toolkit takes and gives UTF-8: an install folder, page and folder
// names, titles and queries outside ASCII come back as they went in.
TEST_F(EndToEndTest, TextOutsideAsciiRoundTripsThroughTheToolkit) {
  const std::string sApp = "Caf\u00e9 \u00dcberblick";
  const std::string sInstall = temp.InstallDir() + sApp + "/";
  host.script.sInstallDir = winport::Utf8ToOle(sInstall);
  temp.Write(sApp + "/dizode/common/.keep");
  temp.Write(sApp + "/Help/\u00dcbersicht/cr\u00e8me.htm",
             Page("Caf\u00e9 \u00dcberblick", "une cr\u00e8me br\u00fbl\u00e9e \u65e5\u672c"));
  temp.Write(sApp + "/Help/plain.htm", Page("Plain", "no accents here"));
  const std::string sPage = sInstall + "Help/\u00dcbersicht/cr\u00e8me.htm";
  const std::map<std::string, std::string> expected{{sPage, "Caf\u00e9 \u00dcberblick"}};

  auto component = NewComponent();
  ASSERT_HR(S_OK, component->Initialize(0));
  EXPECT_EQ(Rows(*component.Get(), u"br\u00fbl\u00e9e"), expected);
  EXPECT_EQ(Rows(*component.Get(), u"\u65e5\u672c"), expected);
  EXPECT_EQ(Rows(*component.Get(), u"\u00dcberblick", 1), expected);
  winport::Variant inside = Folders(u"/\u00dcbersicht/");
  EXPECT_EQ(Rows(*component.Get(), u"cr\u00e8me", 0, inside.Get()), expected);
  winport::Variant elsewhere = Folders(u"/Ubersicht/");
  EXPECT_TRUE(Rows(*component.Get(), u"cr\u00e8me", 0, elsewhere.Get()).empty());

  // A second start-up finds the collection it built in that folder.
  auto again = NewComponent();
  ASSERT_HR(S_OK, again->Initialize(0));
  EXPECT_EQ(Rows(*again.Get(), u"br\u00fbl\u00e9e"), expected);
}

TEST_F(EndToEndTest, ASecondStartUpPicksUpAddedRemovedRenamedAndChangedPages) {
  ASSERT_HR(S_OK, NewComponent()->Initialize(0));

  temp.Write("Help/new/added.htm", Page("Added", "a fresh narwhal page"));
  std::filesystem::remove(temp.Path() / "Help/intro.htm");
  std::filesystem::rename(temp.Path() / "Help/tags/size.html",
                          temp.Path() / "Help/tags/measure.html");
  temp.Write("Help/tags/colour.htm", Page("Colour tags", "paint every narwhal green"));

  auto component = NewComponent();
  ASSERT_HR(S_OK, component->Initialize(0));
  EXPECT_EQ(Keys(*component.Get(), u"narwhal"),
            (std::set<std::string>{Help("new/added.htm"), Help("tags/colour.htm")}));
  EXPECT_TRUE(Keys(*component.Get(), u"welcome").empty());
  EXPECT_EQ(Keys(*component.Get(), u"penguin"), (std::set<std::string>{Help("tags/measure.html")}));
}

TEST_F(EndToEndTest, AChangeTheWatcherSeesIsIndexedByTheNextFind) {
  auto component = NewComponent();
  ASSERT_HR(S_OK, component->Initialize(0));
  const auto end = std::chrono::steady_clock::now() + 30s;
  // Pages keep arriving until the watcher, whose start races with the first
  // write, has reported one.
  int n = 0;
  while (!component->Watcher().IsPending() && std::chrono::steady_clock::now() < end) {
    temp.Write("Help/deep/er/p" + std::to_string(n++) + ".htm", Page("Late", "a late octopus"));
    for (int i = 0; i < 40 && !component->Watcher().IsPending(); ++i) {
      std::this_thread::sleep_for(5ms);
    }
  }
  ASSERT_TRUE(component->Watcher().IsPending());
  EXPECT_EQ(Keys(*component.Get(), u"octopus").count(Help("deep/er/p0.htm")), 1u);
  EXPECT_FALSE(component->Watcher().IsPending());
}

TEST_F(EndToEndTest, AQueryErrorReachesTheHostWithItsColumn) {
  auto component = NewComponent();
  ASSERT_HR(S_OK, component->Initialize(0));
  winport::Bstr query(u"walrus <AND>");
  winport::Variant results;
  SetErrorInfo(0, nullptr);
  EXPECT_HR(E_FAIL, component->Find(query.Get(), nullptr, 0, results.Get()));
  winport::ComPtr<IErrorInfo> pInfo;
  ASSERT_HR(S_OK, GetErrorInfo(0, pInfo.Put()));
  winport::Bstr sDescription;
  ASSERT_HR(S_OK, pInfo->GetDescription(sDescription.Put()));
  EXPECT_EQ(sDescription.ToUtf8().rfind("query error at column 8: ", 0), 0u)
      << sDescription.ToUtf8();
}

// True once the watcher's flag is up; false when the deadline passes first.
bool FlagRisesWithin(ViveviVadiro& component, std::chrono::seconds deadline) {
  const auto end = std::chrono::steady_clock::now() + deadline;
  while (!component.Watcher().IsPending() && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(5ms);
  }
  return component.Watcher().IsPending();
}

TEST_F(EndToEndTest, APageAddedRightAfterAutoRefreshIsTurnedOnIsFoundByTheNextFind) {
  auto component = NewComponent();
  ASSERT_HR(S_OK, component->Initialize(0));
  ASSERT_HR(S_OK, component->put_AutoRefresh(1));
  temp.Write("Help/deep/er/at-once.htm", Page("Prompt", "a prompt octopus"));
  ASSERT_TRUE(FlagRisesWithin(*component.Get(), 10s));
  EXPECT_EQ(Keys(*component.Get(), u"octopus"),
            (std::set<std::string>{Help("deep/er/at-once.htm")}));
}

// A help folder moved away and back loses no page: while it is away the
// search answers from the index as it was, with S_FALSE and the reason; once
// it is back the watcher watches it again, and pages added later are found.
TEST_F(EndToEndTest, AHelpFolderAwayForAMomentLosesNoPageAndIsWatchedOnceBack) {
  auto component = NewComponent();
  ASSERT_HR(S_OK, component->Initialize(0));
  ASSERT_HR(S_OK, component->put_AutoRefresh(1));
  const std::set<std::string> walrus{Help("intro.htm"), Help("tags/colour.htm")};
  ASSERT_EQ(Keys(*component.Get(), u"walrus"), walrus);

  std::filesystem::rename(temp.Path() / "Help", temp.Path() / "Away");
  ASSERT_TRUE(FlagRisesWithin(*component.Get(), 10s));
  EXPECT_EQ(Keys(*component.Get(), u"walrus", 0, nullptr, S_FALSE), walrus);
  EXPECT_NE(component->IndexProblem().find(component->Folders().m_sHelpDir), std::string::npos)
      << component->IndexProblem();

  std::filesystem::rename(temp.Path() / "Away", temp.Path() / "Help");
  EXPECT_EQ(Keys(*component.Get(), u"walrus"), walrus);  // the failed update is tried again
  for (int n = 0; Keys(*component.Get(), u"narwhal").empty() && n < 30; ++n) {
    // Written again until the watcher, re-armed on its own time, reports it.
    temp.Write("Help/later.htm", Page("Later", "a later narwhal " + std::to_string(n)));
    FlagRisesWithin(*component.Get(), 1s);
  }
  EXPECT_EQ(Keys(*component.Get(), u"narwhal"), (std::set<std::string>{Help("later.htm")}));
}

}  // namespace
