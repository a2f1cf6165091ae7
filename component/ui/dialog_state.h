// @brief The process-wide state of the one progress dialog, shared by the
// dialog procedure and the indexing progress callback.
//
// The callback's only context is the component object, so it reaches the
// dialog's controls through this state. Only the thread that runs the dialog
// touches it; while no dialog is showing, hwndDialog is null and the
// callback's display steps do nothing.
#pragma once

#include "winport/win32.h"

class ViveviVadiro;

// What the dialog is asked to do: build a new collection or update one.
enum class IndexingMode : int { kCreate = 0, kUpdate = 3 };

// The dialog's creation parameter; allocated by PromptAndCreate or
// UpdateWithProgress, released by the dialog procedure after the work.
struct IndexingRequest {
  IndexingMode mode;
  ViveviVadiro* pComponent;
};

struct DialogState {
  HWND hwndDialog = nullptr;            // set at initialization
  IndexingRequest* pRequest = nullptr;  // set at initialization
  bool bFirstPaint = false;             // the start-work message was posted
  bool bDone = false;                   // the creation completed
  HWND hwndMessagePane = nullptr;       // control 205, set at the end of initialization
  HWND hwndCountLine = nullptr;         // control 206, set when creation starts
  HWND hwndProgressBar = nullptr;       // control 204, set when creation starts
};

// The one dialog state of the process.
DialogState& TheDialogState();

// Forgets every handle and flag; the dialog calls it when it ends, so that
// a later callback outside any dialog shows nothing.
void ResetDialogState();
