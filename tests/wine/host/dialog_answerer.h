// @brief Answers the component's index prompt and records it and the
// progress dialog (dialog_report.h), for a test that cannot reach the dialogs
// itself: they run modally on the thread that called Initialize.
#pragma once

#include <string>

// Hooks the calling thread's window messages, once per process: the prompt
// is answered with the button nAnswer (IDYES or IDNO), and the report goes to
// sLogPath.
void AnswerDialogsOnThisThread(const std::wstring& sLogPath, int nAnswer);
