// @brief The display of a process with nobody to ask: nothing is drawn,
// message boxes get the cautious answer and dialogs the close box.
#pragma once

#include "winport/src/ui/display.h"

namespace winport::ui {

class HeadlessDisplay : public Display {
 public:
  int AskMessageBox(const MessageBoxRequest& request) override { return 0; }
};

}  // namespace winport::ui
