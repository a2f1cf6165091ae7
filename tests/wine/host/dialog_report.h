// @brief What a test learns of a dialog on screen: its texts, written to a
// log file, and a screenshot the test takes while the dialog waits for it.
#pragma once

#include <string>
#include <utility>

#include "winport/win32.h"

class DialogReport {
 public:
  explicit DialogReport(std::wstring sLogPath) : m_sLogPath(std::move(sLogPath)) {}

  // Paints the dialog and its controls, appends "dialog <name>", its caption
  // and the id, class and text of each visible control with text, then
  // "shot <name>", and waits (up to a minute) for the file
  // "<log>.<name>.done" that the test makes once it has its screenshot.
  void Record(HWND hwndDialog, const std::wstring& sName) const;

 private:
  void Append(const std::wstring& sLine) const;
  void AwaitShot(const std::wstring& sName) const;

  std::wstring m_sLogPath;
};
