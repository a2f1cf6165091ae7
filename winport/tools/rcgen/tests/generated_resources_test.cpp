// The component's resource script, compiled by the generator into this test
// program, seen through winport as the component sees it.
#include <gtest/gtest.h>

#include <cstring>

#include "component/res/resource.h"
#include "winport/ui_driver.h"
#include "winport/win32.h"

namespace {

INT_PTR CALLBACK EndAtFirstPaint(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_PAINT) return EndDialog(dialog, 1);
  return message == WM_INITDIALOG;
}

TEST(GeneratedResources, StringsLoadThroughTheModuleThatHoldsThem) {
  // The handle a module finds for itself names the resources compiled into it.
  HINSTANCE self = WinportModuleFromAddress(reinterpret_cast<const void*>(&EndAtFirstPaint));
  ASSERT_NE(nullptr, self);
  char caption[512];
  char question[512];
  EXPECT_EQ(17, LoadStringA(self, IDS_INDEX_CAPTION, caption, sizeof caption));
  EXPECT_STREQ("Create Help Index", caption);
  EXPECT_EQ(362, LoadStringA(self, IDS_INDEX_QUESTION, question, sizeof question));
  EXPECT_EQ(0, std::strncmp(question, "The help search engine", 22));
  EXPECT_EQ(17, LoadStringA(nullptr, IDS_INDEX_CAPTION, caption, sizeof caption));
}

TEST(GeneratedResources, ProgressDialogHasItsControlsAndSize) {
  WinportScript script;
  ASSERT_EQ(1,
            DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, EndAtFirstPaint, 0));
  std::vector<WinportPaintSnapshot> paints = script.Paints();
  ASSERT_EQ(1u, paints.size());
  const WinportPaintSnapshot& paint = paints[0];
  EXPECT_EQ("Help System", paint.m_caption);
  EXPECT_EQ(0, paint.m_window.left);
  EXPECT_EQ(0, paint.m_window.top);
  EXPECT_EQ(317, paint.m_window.right);
  EXPECT_EQ(192, paint.m_window.bottom);
  struct Expected {
    int id;
    const char* text;
    bool visible;
  } expected[] = {{IDC_HEADING, "Indexing Help, please wait . . .", true},
                  {IDC_PROGRESS_BAR, "Progress1", false},
                  {IDC_MESSAGE_PANE, "", true},
                  {IDC_COUNT_LINE, "Static", false}};
  ASSERT_EQ(4u, paint.m_controls.size());
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(expected[i].id, paint.m_controls[i].m_id);
    EXPECT_EQ(expected[i].text, paint.m_controls[i].m_text);
    EXPECT_EQ(expected[i].visible, paint.m_controls[i].m_visible) << expected[i].id;
  }
  EXPECT_EQ(PROGRESS_CLASSA, paint.Control(IDC_PROGRESS_BAR)->m_className);
}

}  // namespace
