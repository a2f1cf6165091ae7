// Tests that the folders a scan leaves out, and an update that a read-only
// collection refused, are shown in the progress dialog.
#include <filesystem>
#include <string>

#include "component/tests/ui/dialog_fixture.h"

namespace dialog_test {
namespace {

class ScanReportTest : public DialogTest {
 protected:
  void SetUp() override {
    SetFolders();
    temp.Write("Help/a.htm");
    temp.Write("Help/sub/b.htm");
    std::filesystem::create_directory_symlink("..", temp.Path() / "Help/sub/up");
  }

  // Whether some repaint showed sText in the message pane.
  bool PaneShowed(const std::string& sText) const {
    for (const WinportPaintSnapshot& paint : script.Paints()) {
      const WinportControlState* pPane = paint.Control(IDC_MESSAGE_PANE);
      if (pPane && pPane->m_visible && pPane->m_text == sText) {
        return true;
      }
    }
    return false;
  }

  std::string Skipped() const {
    return "Skipped " + temp.Path().string() + "/Help/sub/up: it leads back to a folder above it";
  }
};

TEST_F(ScanReportTest, ABuildShowsEachFolderItLeavesOut) {
  toolkit.Script("TkOpenCollection", -4);
  script.AnswerMessageBox(IDYES);
  ASSERT_TRUE(C().StartSession(true));
  EXPECT_TRUE(PaneShowed(Skipped()));
  // A folder left out is no indexing error.
  EXPECT_TRUE(C().LastError().Empty());
}

TEST_F(ScanReportTest, AnUpdateShowsEachFolderItLeavesOut) {
  ASSERT_TRUE(C().StartSession(true));
  EXPECT_EQ(script.DialogsRun(), 1);
  EXPECT_TRUE(PaneShowed(Skipped()));
}

TEST_F(ScanReportTest, AStartUpOverAReadOnlyCollectionSaysItWasNotUpdatedAndSucceeds) {
  toolkit.Script("TkSubmit", TK_E_READ_ONLY);
  ASSERT_TRUE(C().StartSession(true));
  EXPECT_TRUE(
      PaneShowed("The help index is read-only: changes in the help folder were not indexed."));
  EXPECT_NE(C().Handles().Collection(), 0u);
}

}  // namespace
}  // namespace dialog_test
