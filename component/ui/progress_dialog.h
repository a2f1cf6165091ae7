// @brief The index prompt and the modal progress dialog that runs the long
// index work (creation or update) on the caller's thread.
#pragma once

#include "winport/win32.h"

class ViveviVadiro;

// Asks the user whether the help index may be built; on Yes runs
// CreateCollection inside the progress dialog. True only when the user said
// Yes and the creation completed.
bool PromptAndCreate(ViveviVadiro* pComponent);

// Runs UpdateCollection inside the progress dialog; returns the dialog's end
// code (0 for an update, also when it failed).
INT_PTR UpdateWithProgress(ViveviVadiro* pComponent);

// The dialog procedure of dialog template 201.
INT_PTR CALLBACK ProgressDialogProc(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
