// @brief Counts of calls to the progress dialog's stand-ins.
#pragma once

struct DialogStandIns {
  int nPromptCalls = 0;
  int nUpdateCalls = 0;
};

DialogStandIns& TheDialogStandIns();
