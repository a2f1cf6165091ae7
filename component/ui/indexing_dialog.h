// @brief Running the index work under the modal progress dialog.
#pragma once

#include "component/com/module_handle.h"
#include "component/res/resource.h"
#include "component/ui/dialog_state.h"
#include "winport/win32.h"

class ViveviVadiro;

// The message the dialog posts to itself at its first paint to start the work.
inline constexpr UINT kStartWorkMessage = WM_USER + 0x80;

// Runs the progress dialog (IDD_PROGRESS), owned by the component's host window, to do the
// work of mode; returns the dialog's end code (-1 when it could not be shown).
INT_PTR RunIndexingDialog(ViveviVadiro* pComponent, IndexingMode mode);
