// Tests of Initialize and the host settings with the fake host and toolkit.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "component/tests/support/component_fixture.h"
#include "component/tests/support/fake_host.h"
#include "winport/tests/support/hr_assert.h"

namespace {

class HostSettingsTest : public ComponentTest {
 protected:
  static std::u16string Wide(const std::string& sAscii) { return {sAscii.begin(), sAscii.end()}; }
};

TEST_F(HostSettingsTest, DerivesTheFoldersFromTheInstallFolder) {
  FakeHost host({.sInstallDir = u"/opt/app/", .nWindow = 0x1234});
  C().ReadHostSettings();
  EXPECT_EQ(C().Folders().m_sInstallDir, "/opt/app/");
  EXPECT_EQ(C().Folders().m_sHelpDir, "/opt/app/Help");
  EXPECT_EQ(C().Folders().m_sCollectionDir, "/opt/app/dizode/collections/Searchable Help");
  EXPECT_EQ(C().Folders().m_sCommonDir, "/opt/app//dizode/common");
  EXPECT_EQ(C().HostWindow(), reinterpret_cast<HWND>(0x1234));
  EXPECT_EQ(host.nLastValueNumber, 153);
  EXPECT_NE(C().Host(), nullptr);
}

TEST_F(HostSettingsTest, AnInstallFolderThatIsNotTextIsConverted) {
  FakeHost host({.bInstallDirAsNumber = true});
  C().ReadHostSettings();
  EXPECT_EQ(C().Folders().m_sInstallDir, "42");
  EXPECT_EQ(C().Folders().m_sHelpDir, "42Help");
}

TEST_F(HostSettingsTest, AHostThatCannotTellLeavesTheFoldersAsTheyWere) {
  FakeHostScript failures[] = {
      {.hrInstallDir = E_UNEXPECTED},
      {.hrValue = E_ACCESSDENIED},
      {.bValueUnconvertible = true},
  };
  for (const FakeHostScript& script : failures) {
    FakeHost host(script);
    EditFolders([](HostFolders& f) { f.m_sHelpDir = "before"; });
    C().ReadHostSettings();
    EXPECT_EQ(C().Folders().m_sHelpDir, "before");
    EXPECT_EQ(C().Folders().m_sInstallDir, "");
  }
}

TEST_F(HostSettingsTest, AnUnreadableHostWindowFailsInitializeBeforeStartUp) {
  FakeHost host({.sInstallDir = u"/opt/app/", .hrWindow = E_UNEXPECTED});
  EXPECT_HR(E_FAIL, C().Initialize(0));
  EXPECT_TRUE(toolkit.calls.empty());
  EXPECT_EQ(C().Watcher().Thread(), nullptr);
}

TEST_F(HostSettingsTest, WithoutAHostStartUpRunsWithEmptyFolders) {
  // The collection opens, but the update cannot scan an empty folder.
  EXPECT_HR(S_FALSE, C().Initialize(0));
  EXPECT_EQ(C().Host(), nullptr);
  EXPECT_EQ(C().HostWindow(), nullptr);
  EXPECT_EQ(C().Folders().m_sHelpDir, "");
  EXPECT_EQ(toolkit.Ops()[0], "TkOpenSession");
  EXPECT_EQ(toolkit.Last("TkOpenSession")->texts[0], "");
}

TEST_F(HostSettingsTest, AHostObjectWithoutTheInterfaceCountsAsNoHost) {
  FakeHost host({.bLacksInterface = true});
  C().ReadHostSettings();
  EXPECT_EQ(C().Host(), nullptr);
  EXPECT_EQ(host.nLive, 0);
}

TEST_F(HostSettingsTest, AnyNonZeroShowUIMeansTrue) {
  toolkit.Script("TkOpenSession", -1);
  EXPECT_HR(E_FAIL, C().Initialize(2));
  EXPECT_TRUE(C().ShowsUI());
  toolkit.Script("TkOpenSession", -1);
  EXPECT_HR(E_FAIL, C().Initialize(0));
  EXPECT_FALSE(C().ShowsUI());
}

TEST_F(HostSettingsTest, ASuccessfulInitializeStartsTheWatcherButLeavesTheProperty) {
  FakeHost host({.sInstallDir = Wide(temp.InstallDir())});
  temp.Write("Help/a.htm");
  std::filesystem::create_directories(temp.Path() / "dizode/common");
  ASSERT_HR(S_OK, C().Initialize(0));
  EXPECT_NE(C().Watcher().Thread(), nullptr);
  LONG nAutoRefresh = -1;
  EXPECT_HR(S_OK, C().get_AutoRefresh(&nAutoRefresh));
  EXPECT_EQ(nAutoRefresh, 0);
}

// A host that turns AutoRefresh off says it wants no watching: before
// Initialize, none is started; after it, Initialize's watcher ends.
TEST_F(HostSettingsTest, AutoRefreshTurnedOffByTheHostLeavesNoWatcher) {
  FakeHost host({.sInstallDir = Wide(temp.InstallDir())});
  temp.Write("Help/a.htm");
  std::filesystem::create_directories(temp.Path() / "dizode/common");
  ASSERT_HR(S_OK, C().Initialize(0));
  ASSERT_NE(C().Watcher().Thread(), nullptr);
  EXPECT_HR(S_OK, C().put_AutoRefresh(0));
  EXPECT_EQ(C().Watcher().Thread(), nullptr);

  ASSERT_HR(S_OK, C().Initialize(0));
  EXPECT_EQ(C().Watcher().Thread(), nullptr);
  EXPECT_HR(S_OK, C().put_AutoRefresh(1));  // turned on again: watching as asked
  EXPECT_NE(C().Watcher().Thread(), nullptr);
  EXPECT_HR(S_OK, C().put_AutoRefresh(0));
  EXPECT_EQ(C().Watcher().Thread(), nullptr);
  LONG nAutoRefresh = -1;
  EXPECT_HR(S_OK, C().get_AutoRefresh(&nAutoRefresh));
  EXPECT_EQ(nAutoRefresh, 0);
}

// The search answers from the collection as it was committed: S_FALSE, with
// the reason in the error object, and the watcher runs as after any start-up.
TEST_F(HostSettingsTest, AnUpdateThatFailsAtStartUpIsAWarning) {
  FakeHost host({.sInstallDir = Wide(temp.InstallDir())});
  temp.Write("Help/a.htm");
  std::filesystem::create_directories(temp.Path() / "dizode/common");
  toolkit.Script("TkSubmit", -9);
  toolkit.sLastErrorText = "adding pages: commit: database or disk is full";
  SetErrorInfo(0, nullptr);
  ASSERT_HR(S_FALSE, C().Initialize(0));
  const std::string sWarning = TakeDescription();
  EXPECT_NE(sWarning.find("database or disk is full"), std::string::npos) << sWarning;
  EXPECT_NE(C().Watcher().Thread(), nullptr);
  winport::Bstr query(u"a");
  winport::Variant results;
  EXPECT_HR(S_OK, C().Find(query.Get(), nullptr, 0, results.Get()));  // updated at last
}

TEST_F(HostSettingsTest, AFailedStartUpStartsNoWatcher) {
  toolkit.Script("TkOpenSession", -1);
  EXPECT_HR(E_FAIL, C().Initialize(0));
  EXPECT_EQ(C().Watcher().Thread(), nullptr);
}

TEST_F(HostSettingsTest, ASecondInitializeGivesBackTheFirstHostAndTheLastAtTeardown) {
  FakeHost host({.sInstallDir = Wide(temp.InstallDir())});
  temp.Write("Help/a.htm");
  std::filesystem::create_directories(temp.Path() / "dizode/common");
  ASSERT_HR(S_OK, C().Initialize(0));
  ASSERT_HR(S_OK, C().Initialize(0));
  EXPECT_EQ(host.nCreated, 2);
  EXPECT_EQ(host.nLive, 1);
  EXPECT_EQ(toolkit.Outstanding(), 2);
  ReleaseComponent();
  EXPECT_EQ(host.nLive, 0);
  EXPECT_EQ(toolkit.Outstanding(), 0);
}

TEST_F(HostSettingsTest, ASecondInitializeWithoutAWorkingHostKeepsTheFirst) {
  temp.Write("Help/a.htm");
  std::filesystem::create_directories(temp.Path() / "dizode/common");
  const FakeHostScript first{.sInstallDir = Wide(temp.InstallDir()), .nWindow = 0x1234};
  struct Case {
    const char* sName;
    bool bHostLacksInterface;  // else no host object can be made at all
  } cases[] = {{"no host", false}, {"host without the interface", true}};
  for (const Case& c : cases) {
    IHostApplication* pFirst = nullptr;
    {
      FakeHost host(first);
      ASSERT_HR(S_OK, C().Initialize(0)) << c.sName;
      pFirst = C().Host();
    }
    std::unique_ptr<FakeHost> pBroken;
    if (c.bHostLacksInterface) {
      pBroken = std::make_unique<FakeHost>(FakeHostScript{.bLacksInterface = true});
    }
    EXPECT_HR(S_OK, C().Initialize(0)) << c.sName;
    EXPECT_EQ(C().Host(), pFirst) << c.sName;
    EXPECT_EQ(C().HostWindow(), reinterpret_cast<HWND>(0x1234)) << c.sName;
    EXPECT_EQ(C().Folders().m_sInstallDir, temp.InstallDir()) << c.sName;
  }
}

}  // namespace

namespace {

// Calls method-table position nSlot of pObject with one out argument, the
// way a caller that knows only the positions does.
template <typename Out>
HRESULT CallSlot(IUnknown* pObject, int nSlot, Out* pOut) {
  using Fn = HRESULT (*)(IUnknown*, Out*);
  void** table = *reinterpret_cast<void***>(pObject);
  return reinterpret_cast<Fn>(table[nSlot])(pObject, pOut);
}

TEST(HostApplicationInterfaceTest, TheOperationsSitAtTheirMethodTablePositions) {
  FakeHost host(
      {.sInstallDir = u"/opt/", .nWindow = 77, .nLeft = 1, .nTop = 2, .nWidth = 3, .nHeight = 4});
  winport::ComPtr<IHostApplication> pHost;
  ASSERT_HR(S_OK, CoCreateInstance(CLSID_HostApplication, nullptr, 23, IID_IHostApplication,
                                   pHost.PutVoid()));
  struct Case {
    int nSlot;
    LONG nExpected;
  } cases[] = {{19, 3}, {21, 4}, {23, 2}, {25, 1}};
  for (const Case& c : cases) {
    LONG nValue = -1;
    EXPECT_HR(S_OK, CallSlot(pHost.Get(), c.nSlot, &nValue)) << c.nSlot;
    EXPECT_EQ(nValue, c.nExpected) << c.nSlot;
  }
  LONG_PTR nWindow = 0;
  EXPECT_HR(S_OK, CallSlot(pHost.Get(), 46, &nWindow));
  EXPECT_EQ(nWindow, 77);
  winport::Variant dir;
  EXPECT_HR(S_OK, CallSlot(pHost.Get(), 52, dir.Get()));
  EXPECT_EQ(V_VT(dir.Get()), VT_BSTR);
  LONG nUnused = 0;
  EXPECT_HR(E_NOTIMPL, CallSlot(pHost.Get(), 20, &nUnused));
  EXPECT_HR(E_NOTIMPL, CallSlot(pHost.Get(), 76, &nUnused));
}

}  // namespace
