// @brief The process-wide progress dialog state.
#include "component/ui/dialog_state.h"

DialogState& TheDialogState() {
  static DialogState state;
  return state;
}

void ResetDialogState() { TheDialogState() = DialogState{}; }
