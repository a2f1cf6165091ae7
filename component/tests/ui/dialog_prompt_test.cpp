// Tests of the index prompt and of creation under the progress dialog, on the
// scripted display with the fake toolkit.
#include <new>
#include <string>
#include <vector>

#include "component/tests/ui/dialog_fixture.h"
#include "component/ui/progress_dialog.h"

namespace dialog_test {
namespace {

class PromptTest : public DialogTest {
 protected:
  void SetUp() override { SetFolders(); }
};

TEST_F(PromptTest, AnythingButYesShowsNoDialogAndCreatesNothing) {
  script.AnswerMessageBox(IDNO);
  EXPECT_FALSE(PromptAndCreate(&C()));
  EXPECT_FALSE(PromptAndCreate(&C()));  // no answer left: the cautious No

  const auto boxes = script.MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  char sQuestion[512];
  ASSERT_GT(LoadStringA(ComponentInstance(), IDS_INDEX_QUESTION, sQuestion, sizeof sQuestion), 0);
  EXPECT_EQ(boxes[0].m_caption, kCaption);
  EXPECT_EQ(boxes[0].m_text, sQuestion);
  EXPECT_EQ(boxes[0].m_type, 0x24u);
  EXPECT_EQ(boxes[0].m_owner, nullptr);
  EXPECT_EQ(script.DialogsRun(), 0);
  EXPECT_TRUE(toolkit.calls.empty());
  EXPECT_TRUE(NothingCreated());
}

TEST_F(PromptTest, AKeyBeforeTheWorkStartsEndsTheDialogWithoutCreating) {
  for (WinportKey key : {WinportKey::kEscape, WinportKey::kEnter, WinportKey::kClose}) {
    script.AnswerMessageBox(IDYES);
    script.QueueKey(key, WinportKeyTime::kBeforeFirstPaint);
    EXPECT_FALSE(PromptAndCreate(&C()));
    EXPECT_TRUE(toolkit.calls.empty());
    EXPECT_TRUE(NothingCreated());
    EXPECT_EQ(TheDialogState().hwndDialog, nullptr);
    EXPECT_EQ(TheDialogState().pRequest, nullptr);
  }
  EXPECT_EQ(script.DialogsRun(), 3);
}

TEST_F(PromptTest, ACompletedCreationShowsItsProgressAndEndsWithOne) {
  WritePages(250);
  toolkit.progressMessages = {"Starting", "I", "Document 12 (p12.htm)", "U", "Finishing"};
  script.AnswerMessageBox(IDYES);
  ASSERT_TRUE(PromptAndCreate(&C()));
  EXPECT_EQ(toolkit.Count("TkSubmit"), 1);

  struct Seen {
    std::string sPane;   // empty when the pane is hidden
    std::string sCount;  // empty when the count line is hidden
    bool bBar;
    int nPos;
  };
  std::vector<Seen> seen;
  for (const WinportPaintSnapshot& paint : script.Paints()) {
    const WinportControlState* pHeading = paint.Control(IDC_HEADING);
    const WinportControlState* pPane = paint.Control(IDC_MESSAGE_PANE);
    const WinportControlState* pCount = paint.Control(IDC_COUNT_LINE);
    const WinportControlState* pBar = paint.Control(IDC_PROGRESS_BAR);
    ASSERT_TRUE(pHeading && pPane && pCount && pBar);
    EXPECT_EQ(pHeading->m_text, kHeading);
    EXPECT_TRUE(pHeading->m_visible);
    if (pBar->m_visible) {
      EXPECT_EQ(pBar->m_min, 0);
      EXPECT_EQ(pBar->m_max, 1024);
    }
    seen.push_back({pPane->m_visible ? pPane->m_text : "", pCount->m_visible ? pCount->m_text : "",
                    pBar->m_visible, pBar->m_pos});
  }
  // The first paint comes before the work; each message then forces one.
  const std::vector<Seen> expected = {
      {"", "", false, 0},
      {"Starting", "", true, 1},
      {"Starting", "", true, 2},
      {"", "Document 12  of 250", true, 3},
      {"", "Document 12  of 250", true, 4},
      {"Finishing", "", true, 5},
  };
  ASSERT_EQ(seen.size(), expected.size());
  for (size_t i = 0; i < seen.size(); ++i) {
    EXPECT_EQ(seen[i].sPane, expected[i].sPane) << "paint " << i;
    EXPECT_EQ(seen[i].sCount, expected[i].sCount) << "paint " << i;
    EXPECT_EQ(seen[i].bBar, expected[i].bBar) << "paint " << i;
    EXPECT_EQ(seen[i].nPos, expected[i].nPos) << "paint " << i;
  }
  EXPECT_EQ(TheDialogState().hwndDialog, nullptr);
  EXPECT_EQ(TheDialogState().hwndProgressBar, nullptr);
}

TEST_F(PromptTest, TheBarStartsWithInitializingBeforeTheFirstMessage) {
  WritePages(2);
  toolkit.progressMessages = {"I"};
  script.AnswerMessageBox(IDYES);
  ASSERT_TRUE(PromptAndCreate(&C()));
  const auto paints = script.Paints();
  ASSERT_EQ(paints.size(), 2u);
  EXPECT_EQ(paints[1].Control(IDC_MESSAGE_PANE)->m_text, "Initializing . . .");
  EXPECT_TRUE(paints[1].Control(IDC_MESSAGE_PANE)->m_visible);
  EXPECT_FALSE(paints[1].Control(IDC_COUNT_LINE)->m_visible);
}

// The display as a submission left it: a forced repaint once the fake toolkit
// has sent its messages, since error messages do not repaint by themselves.
ToolkitTable g_fake;
int32_t SubmitThenRepaint(TkCollection hCollection, const TkSubmitArgs* pArgs) {
  const int32_t nReturn = g_fake.TkSubmit(hCollection, pArgs);
  UpdateWindow(TheDialogState().hwndDialog);
  return nReturn;
}

TEST_F(PromptTest, AnErrorMessageFlushesTheRestAndFailsTheCreation) {
  WritePages(3);
  toolkit.progressMessages = {"Document 1 (p0.htm)", "E p1.htm cannot be read",
                              "Document 2 (p1.htm)", "Later text"};
  g_fake = Toolkit();
  ToolkitTable probed = g_fake;
  probed.TkSubmit = &SubmitThenRepaint;
  ReplaceToolkit(probed);
  script.AnswerMessageBox(IDYES);
  const bool bCreated = PromptAndCreate(&C());
  ReplaceToolkit(g_fake);

  EXPECT_FALSE(bCreated);
  EXPECT_EQ(C().LastError().Text(), "E p1.htm cannot be read");
  const auto paints = script.Paints();
  ASSERT_EQ(paints.size(), 3u);  // first paint, the count message, the probe
  EXPECT_EQ(paints[1].Control(IDC_COUNT_LINE)->m_text, "Document 1  of 3");
  const WinportPaintSnapshot& last = paints.back();
  EXPECT_TRUE(last.Control(IDC_COUNT_LINE)->m_visible);
  EXPECT_EQ(last.Control(IDC_COUNT_LINE)->m_text, "Flushing Errors . . .");
  EXPECT_FALSE(last.Control(IDC_MESSAGE_PANE)->m_visible);
  EXPECT_EQ(last.Control(IDC_PROGRESS_BAR)->m_pos, 4);  // every message steps the bar once
}

int32_t SubmitThenThrow(TkCollection, const TkSubmitArgs*) { throw std::bad_alloc(); }

TEST_F(PromptTest, AnyOtherFailureOfTheWorkEndsTheDialogWithZero) {
  WritePages(1);
  g_fake = Toolkit();
  ToolkitTable throwing = g_fake;
  throwing.TkSubmit = &SubmitThenThrow;
  ReplaceToolkit(throwing);
  script.AnswerMessageBox(IDYES);
  bool bCreated = true;
  EXPECT_NO_THROW(bCreated = PromptAndCreate(&C()));
  ReplaceToolkit(g_fake);
  EXPECT_FALSE(bCreated);
  EXPECT_EQ(script.DialogsRun(), 1);
  EXPECT_EQ(TheDialogState().hwndDialog, nullptr);
}

TEST_F(PromptTest, ACreationRequestWithTheCollectionAlreadyOpenDoesNothing) {
  temp.Write("Help/a.htm");
  Open();
  EXPECT_EQ(RunIndexingDialog(&C(), IndexingMode::kCreate), 0);
  EXPECT_TRUE(toolkit.calls.empty());
  const auto paints = script.Paints();
  ASSERT_FALSE(paints.empty());
  EXPECT_FALSE(paints.back().Control(IDC_PROGRESS_BAR)->m_visible);
}

}  // namespace
}  // namespace dialog_test
