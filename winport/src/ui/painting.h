// @brief Repainting: WM_PAINT to the window, then the display draws the
// whole dialog and the scripted driver gets a snapshot.
#pragma once

#include "winport/api/base.h"
#include "winport/ui_driver.h"

namespace winport::ui {

// The dialog a window belongs to (itself for a dialog), or null.
HWND DialogOf(HWND window);

// Sends WM_PAINT to `window` and has the display draw its dialog. Does
// nothing for a hidden dialog.
void Repaint(HWND window);

bool TakeSnapshot(HWND dialog, WinportPaintSnapshot* snapshot);

}  // namespace winport::ui
