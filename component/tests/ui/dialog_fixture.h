// @brief A component over the fake toolkit whose prompt and progress dialog
// run on the scripted display.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "component/tests/support/component_fixture.h"
#include "component/ui/dialog_state.h"
#include "component/ui/indexing_dialog.h"
#include "winport/ui_driver.h"

namespace dialog_test {

inline constexpr char kHeading[] = "Indexing Help, please wait . . .";
inline constexpr char kCaption[] = "Create Help Index";

class DialogTest : public ComponentTest {
 protected:
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
