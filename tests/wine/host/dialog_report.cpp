// @brief Writing a dialog's texts to the log and waiting for its screenshot.
#include "tests/wine/host/dialog_report.h"

#include <vector>

#include "winport/owners.h"

namespace {

constexpr DWORD kShotTimeoutMs = 60000;
constexpr DWORD kPollMs = 100;

std::wstring TextOf(HWND hwnd) {
  std::wstring sText(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  sText.resize(
      static_cast<size_t>(GetWindowTextW(hwnd, sText.data(), static_cast<int>(sText.size()))));
  return sText;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t sClass[64] = {};
  GetClassNameW(hwnd, sClass, 64);
  return sClass;
}

// Line breaks inside a control's text would split its log line.
std::wstring OneLine(std::wstring sText) {
  for (wchar_t& c : sText) {
    if (c == L'\r' || c == L'\n') c = L' ';
  }
  return sText;
}

BOOL CALLBACK CollectControl(HWND hwnd, LPARAM lParam) {
  // The enumeration hands back Record's list as an integer parameter.
  // NOLINTNEXTLINE(performance-no-int-to-ptr)
  auto* pLines = reinterpret_cast<std::vector<std::wstring>*>(lParam);
  const std::wstring sText = TextOf(hwnd);
  if (IsWindowVisible(hwnd) && !sText.empty()) {
    pLines->push_back(L"control " + std::to_wstring(GetDlgCtrlID(hwnd)) + L" " + ClassOf(hwnd) +
                      L" " + OneLine(sText));
  }
  return TRUE;
}

}  // namespace

void DialogReport::Record(HWND hwndDialog, const std::wstring& sName) const {
  RedrawWindow(hwndDialog, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  GdiFlush();
  std::vector<std::wstring> lines = {L"dialog " + sName, L"caption " + TextOf(hwndDialog)};
  EnumChildWindows(hwndDialog, CollectControl, reinterpret_cast<LPARAM>(&lines));
  for (const std::wstring& sLine : lines) Append(sLine);
  AwaitShot(sName);
}

void DialogReport::Append(const std::wstring& sLine) const {
  const std::string sText = winport::OleToUtf8(sLine.data(), sLine.size()) + "\n";
  HANDLE hFile =
      CreateFileW(m_sLogPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) return;
  DWORD nWritten = 0;
  WriteFile(hFile, sText.data(), static_cast<DWORD>(sText.size()), &nWritten, nullptr);
  CloseHandle(hFile);
}

// The wait lets the window system run (it may still have drawing to hand to
// the display) but dispatches nothing, so the dialog stays as it is.
void DialogReport::AwaitShot(const std::wstring& sName) const {
  const std::wstring sDone = m_sLogPath + L"." + sName + L".done";
  Append(L"shot " + sName);
  const DWORD nStart = GetTickCount();
  while (GetFileAttributesW(sDone.c_str()) == INVALID_FILE_ATTRIBUTES &&
         GetTickCount() - nStart < kShotTimeoutMs) {
    if (MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT) == WAIT_OBJECT_0) {
      Sleep(kPollMs);
    }
  }
}
