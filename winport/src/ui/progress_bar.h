// @brief The progress bar control's messages, on its state alone.
#pragma once

#include "winport/api/base.h"
#include "winport/src/ui/window.h"

namespace winport::ui {

// Handles a PBM_* message; returns false for any other message.
bool HandleProgressMessage(ProgressState& bar, UINT message, WPARAM wParam, LPARAM lParam,
                           LRESULT* result);

}  // namespace winport::ui
