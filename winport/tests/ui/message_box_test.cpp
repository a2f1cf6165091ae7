// MessageBoxA: answers come from the script; with nobody to ask, the
// cautious answer for the buttons, never a block.
#include <gtest/gtest.h>

#include "winport/tests/ui/dialog_harness.h"

namespace {

TEST(MessageBox, ScriptAnswersInOrderAndRecordsEachBox) {
  WinportScript script;
  script.AnswerMessageBox(IDYES);
  script.AnswerMessageBox(IDNO);
  EXPECT_EQ(IDYES,
            MessageBoxA(nullptr, "Build it?", "Create Help Index", MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(IDNO, MessageBoxA(nullptr, "Again?", nullptr, 0x24));
  // Out of answers: the cautious one.
  EXPECT_EQ(IDNO, MessageBoxA(nullptr, "Third", "c", MB_YESNO));
  EXPECT_EQ(IDOK, MessageBoxA(nullptr, "Done", "c", MB_OK));

  std::vector<WinportMessageBoxRecord> boxes = script.MessageBoxes();
  ASSERT_EQ(4u, boxes.size());
  EXPECT_EQ("Build it?", boxes[0].m_text);
  EXPECT_EQ("Create Help Index", boxes[0].m_caption);
  EXPECT_EQ(0x24u, boxes[0].m_type);
  EXPECT_EQ(IDYES, boxes[0].m_answer);
  EXPECT_EQ("Error", boxes[1].m_caption);  // Windows' caption for a null one
  EXPECT_EQ(IDNO, boxes[2].m_answer);
  EXPECT_EQ(IDOK, boxes[3].m_answer);
}

TEST(MessageBox, HeadlessGivesTheCautiousAnswer) {
  WinportSetDisplay(WinportDisplayKind::kHeadless);
  struct Case {
    UINT type;
    int answer;
  } cases[] = {
      {MB_YESNO | MB_ICONQUESTION, IDNO},
      {MB_OK, IDOK},
      {MB_OKCANCEL, IDCANCEL},
      {MB_YESNOCANCEL, IDCANCEL},
      {MB_RETRYCANCEL, IDCANCEL},
      {MB_ABORTRETRYIGNORE, IDABORT},
      {MB_YESNO | MB_DEFBUTTON1, IDNO},  // the default button does not matter
  };
  for (const Case& c : cases) EXPECT_EQ(c.answer, MessageBoxA(nullptr, "t", "c", c.type)) << c.type;
}

TEST(MessageBox, OwnerMustBeAWindow) {
  WinportScript script;
  HWND stale = harness::RunDialog(harness::ProgressLike([](HWND) { return 1; })).m_dialog;
  script.AnswerMessageBox(IDYES);
  SetLastError(0);
  EXPECT_EQ(0, MessageBoxA(stale, "t", "c", MB_YESNO));
  EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE), GetLastError());
  EXPECT_TRUE(script.MessageBoxes().empty());
  // A live owner is fine.
  harness::RunDialog(harness::ProgressLike(
      [](HWND dialog) { return static_cast<INT_PTR>(MessageBoxA(dialog, "t", "c", MB_YESNO)); }));
  ASSERT_EQ(1u, script.MessageBoxes().size());
  EXPECT_NE(nullptr, script.MessageBoxes()[0].m_owner);
}

}  // namespace
