// @brief A component over the fake toolkit whose prompt and progress dialog
// run on the scripted display.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "component/tests/support/component_fixture.h"
#include "component/ui/dialog_state.h"
#include "component/ui/indexing_dialog.h"
#include "winport/resource_table.h"
#include "winport/ui_driver.h"

namespace dialog_test {

inline constexpr char kHeading[] = "Indexing Help, please wait . . .";
inline constexpr char kCaption[] = "Create Help Index";

// Used only while the module's own resources are not linked into the test
// program: the shape of template 201 that the tests read back.
namespace standin {
inline constexpr winport::StringResource kStrings[] = {
    {IDS_INDEX_CAPTION, kCaption},
    {IDS_INDEX_QUESTION, "May the help index be built?"},
};
inline constexpr winport::ControlResource kControls[] = {
    {IDC_HEADING, "static", kHeading, 0, 4, 207, 10, SS_CENTER | WS_GROUP | WS_VISIBLE, 0},
    {IDC_PROGRESS_BAR, PROGRESS_CLASSA, "Progress1", 4, 86, 197, 14, WS_BORDER, 0},
    {IDC_MESSAGE_PANE, "edit", "", 7, 25, 193, 47, ES_MULTILINE | ES_READONLY | WS_VISIBLE, 0},
    {IDC_COUNT_LINE, "static", "Static", 0, 39, 192, 12, SS_CENTER | WS_GROUP, 0},
};
inline constexpr winport::DialogResource kDialogs[] = {
    {IDD_PROGRESS, nullptr, "Help System", 0, 0, 207, 103, 0x80C800C0, 0, "MS Sans Serif", 8,
     kControls, std::size(kControls)},
};
inline constexpr winport::ResourceTable kTable = {
    kStrings, std::size(kStrings), kDialogs, std::size(kDialogs), nullptr, 0};
}  // namespace standin

inline void EnsureDialogResources() {
  static std::once_flag once;
  std::call_once(once, [] {
    char sProbe[8];
    if (LoadStringA(ComponentInstance(), IDS_INDEX_CAPTION, sProbe, sizeof sProbe) == 0) {
      WinportRegisterResources(&standin::kTable, &standin::kTable);
    }
  });
}

class DialogTest : public ComponentTest {
 protected:
  DialogTest() { EnsureDialogResources(); }

  // A help folder of nPages pages, for the count line's total.
  void WritePages(int nPages) {
    for (int i = 0; i < nPages; ++i) temp.Write("Help/p" + std::to_string(i) + ".htm");
  }

  // No page was submitted and no collection folder was made.
  bool NothingCreated() const {
    return toolkit.Count("TkSubmit") == 0 &&
           !std::filesystem::exists(temp.Path() / "dizode" / "collections");
  }

  WinportScript script;
};

}  // namespace dialog_test
