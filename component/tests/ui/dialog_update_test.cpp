// Tests of the update under the progress dialog and of the dialog's place
// over the host window.
#include <memory>
#include <string>

#include "component/tests/support/fake_host.h"
#include "component/tests/ui/dialog_fixture.h"
#include "component/ui/dialog_centring.h"
#include "component/ui/progress_dialog.h"

namespace dialog_test {
namespace {

TEST(DialogCentringTest, PutsTheDialogsMiddleOnTheHostWindowsMiddle) {
  struct Case {
    HostWindowRect host;
    RECT rcDialog;
    bool bMoved;
    LONG x, y;
  } cases[] = {
      {{100, 50, 1000, 800}, {0, 0, 300, 200}, true, 450, 350},
      {{100, 50, 1000, 800}, {700, 600, 1000, 800}, true, 450, 350},  // only the size counts
      {{0, 0, 301, 201}, {0, 0, 101, 51}, true, 100, 75},             // halves truncate
      {{-10, -20, -101, 40}, {0, 0, 30, 20}, true, -75, -10},         // toward zero
      {{100, 50, 0, 800}, {0, 0, 300, 200}, false, 0, 0},
      {{100, 50, 1000, 0}, {0, 0, 300, 200}, false, 0, 0},
  };
  for (const Case& c : cases) {
    POINT origin{-1, -1};
    EXPECT_EQ(CentredOrigin(c.host, c.rcDialog, &origin), c.bMoved) << c.host.nWidth;
    if (c.bMoved) {
      EXPECT_EQ(origin.x, c.x) << c.host.nWidth;
      EXPECT_EQ(origin.y, c.y) << c.host.nWidth;
    }
  }
}

// A host that reports its window rectangle as scripted, failing one read,
// and records the order of the reads.
class RectHost final : public HostApplicationStub {
 public:
  explicit RectHost(int nFailingRead) : m_nFailingRead(nFailingRead) {}
  STDMETHODIMP QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP get_Left(LONG* p) override { return Read('L', 100, p); }
  STDMETHODIMP get_Top(LONG* p) override { return Read('T', 50, p); }
  STDMETHODIMP get_Width(LONG* p) override { return Read('W', 1000, p); }
  STDMETHODIMP get_Height(LONG* p) override { return Read('H', 800, p); }
  STDMETHODIMP get_HostWindow(LONG_PTR*) override { return E_NOTIMPL; }
  STDMETHODIMP get_InstallDir(VARIANT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetValue(LONG, VARIANT*) override { return E_NOTIMPL; }

  std::string sReads;

 private:
  HRESULT Read(char cWhat, LONG nValue, LONG* p) {
    sReads += cWhat;
    *p = nValue;
    return static_cast<int>(sReads.size()) == m_nFailingRead ? E_FAIL : S_OK;
  }
  int m_nFailingRead;
};

TEST(DialogCentringTest, ReadsLeftTopWidthHeightAndAnyFailureMeansNoRectangle) {
  RectHost fine(0);
  const HostWindowRect read = ReadHostWindowRect(&fine);
  EXPECT_EQ(fine.sReads, "LTWH");
  EXPECT_EQ(read.nLeft, 100);
  EXPECT_EQ(read.nTop, 50);
  EXPECT_EQ(read.nWidth, 1000);
  EXPECT_EQ(read.nHeight, 800);

  for (int nFailing = 1; nFailing <= 4; ++nFailing) {
    RectHost failing(nFailing);
    const HostWindowRect none = ReadHostWindowRect(&failing);
    EXPECT_EQ(none.nLeft, 0) << nFailing;
    EXPECT_EQ(none.nTop, 0) << nFailing;
    EXPECT_EQ(none.nWidth, 0) << nFailing;
    EXPECT_EQ(none.nHeight, 0) << nFailing;
  }
  const HostWindowRect absent = ReadHostWindowRect(nullptr);
  EXPECT_EQ(absent.nWidth, 0);
}

class UpdateDialogTest : public DialogTest {
 protected:
  // Runs an update under the dialog with a host that answers as scripted (or
  // no host) and gives back the dialog's outer rectangle at its first paint.
  RECT RunWithHost(const FakeHostScript* pScript) {
    if (pScript) {
      m_pHost = std::make_unique<FakeHost>(*pScript);
      C().ReadHostSettings();
    }
    temp.Write("Help/a.htm");
    Open();
    WinportScript run;
    EXPECT_EQ(UpdateWithProgress(&C()), 0);
    const auto paints = run.Paints();
    EXPECT_FALSE(paints.empty());
    return paints.empty() ? RECT{} : paints[0].m_window;
  }

  // The host object must outlive the component that holds it.
  void TearDown() override { ReleaseComponent(); }

  std::unique_ptr<FakeHost> m_pHost;
};

TEST_F(UpdateDialogTest, AnUpdateNeverShowsTheBarAndLeavesThePaneEmpty) {
  temp.Write("Help/a.htm");
  Open();
  toolkit.progressMessages = {"Document 1 (a.htm)", "Some text"};
  EXPECT_EQ(UpdateWithProgress(&C()), 0);
  EXPECT_EQ(toolkit.Count("TkSubmit"), 1);  // the update did run

  const auto paints = script.Paints();
  ASSERT_FALSE(paints.empty());
  for (const WinportPaintSnapshot& paint : paints) {
    EXPECT_EQ(paint.m_caption, "Help System");
    EXPECT_EQ(paint.Control(IDC_HEADING)->m_text, kHeading);
    EXPECT_FALSE(paint.Control(IDC_PROGRESS_BAR)->m_visible);
    EXPECT_TRUE(paint.Control(IDC_MESSAGE_PANE)->m_visible);
    EXPECT_EQ(paint.Control(IDC_MESSAGE_PANE)->m_text, "");
    EXPECT_FALSE(paint.Control(IDC_COUNT_LINE)->m_visible);
  }
  EXPECT_EQ(TheDialogState().hwndDialog, nullptr);
}

TEST_F(UpdateDialogTest, AFailedUpdateEndsTheDialogWithZero) {
  temp.Write("Help/a.htm");
  Open();
  toolkit.Script("TkSearch", -7);  // the listing the update starts with
  EXPECT_EQ(UpdateWithProgress(&C()), 0);
  EXPECT_EQ(script.DialogsRun(), 1);
  EXPECT_EQ(TheDialogState().pRequest, nullptr);
}

TEST_F(UpdateDialogTest, TheDialogIsCentredOnTheHostWindow) {
  FakeHostScript host{.nLeft = 100, .nTop = 50, .nWidth = 1000, .nHeight = 800};
  const RECT rc = RunWithHost(&host);
  const LONG cx = rc.right - rc.left, cy = rc.bottom - rc.top;
  EXPECT_GT(cx, 0);
  EXPECT_EQ(rc.left, 100 + 500 - cx / 2);
  EXPECT_EQ(rc.top, 50 + 400 - cy / 2);
}

TEST_F(UpdateDialogTest, AHostThatCannotTellLeavesTheDialogWherePlaced) {
  const RECT rcPlaced = RunWithHost(nullptr);
  const FakeHostScript hosts[] = {
      {.nLeft = 100, .nTop = 50, .nWidth = 0, .nHeight = 800},
      {.nLeft = 100, .nTop = 50, .nWidth = 1000, .nHeight = 0},
  };
  for (const FakeHostScript& host : hosts) {
    const RECT rc = RunWithHost(&host);
    EXPECT_EQ(rc.left, rcPlaced.left);
    EXPECT_EQ(rc.top, rcPlaced.top);
    EXPECT_EQ(rc.right, rcPlaced.right);
    EXPECT_EQ(rc.bottom, rcPlaced.bottom);
  }
}

}  // namespace
}  // namespace dialog_test
