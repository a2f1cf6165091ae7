// @brief A resource table for the tests, shaped like a progress dialog: a
// heading, a hidden progress bar, a message pane and a hidden count line that
// shares the pane's area.
#pragma once

#include <mutex>

#include "winport/resource_table.h"
#include "winport/win32.h"

namespace sample {

inline constexpr int kDialog = 201;
inline constexpr int kHeading = 202;
inline constexpr int kBar = 204;
inline constexpr int kPane = 205;
inline constexpr int kCount = 206;
inline constexpr UINT kStartWork = WM_USER + 0x80;

inline constexpr winport::StringResource kStrings[] = {
    {101, "Create Help Index"},
    {102, "Twelve chars"},
    {103, ""},
};

inline constexpr winport::ControlResource kControls[] = {
    {kHeading, "static", "Indexing, please wait", 0, 4, 207, 10, SS_CENTER | WS_GROUP | WS_VISIBLE,
     0},
    {kBar, "msctls_progress32", "Progress1", 4, 86, 197, 14, WS_BORDER, 0},
    {kPane, "edit", "", 7, 25, 193, 47, ES_MULTILINE | ES_READONLY | WS_VISIBLE, 0},
    {kCount, "static", "Static", 0, 39, 192, 12, SS_CENTER | WS_GROUP, 0},
};

inline constexpr DWORD kDialogStyle =
    DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;

inline constexpr winport::DialogResource kDialogs[] = {
    {kDialog, nullptr, "Help System", 0, 0, 207, 103, kDialogStyle, 0, "MS Sans Serif", 8,
     kControls, std::size(kControls)},
    {0, "Named", "Named dialog", 10, 20, 40, 16, kDialogStyle, 0, nullptr, 0, nullptr, 0},
};

inline constexpr unsigned char kBlob[] = {1, 2, 3, 4, 5};
inline constexpr winport::RawResource kRaw[] = {
    {0, "REGISTRY", 101, nullptr, kBlob, sizeof kBlob},
};

inline constexpr winport::ResourceTable kTable = {
    kStrings, std::size(kStrings), kDialogs, std::size(kDialogs), kRaw, std::size(kRaw)};

// The test program's module handle, its resources registered.
inline HINSTANCE Module() {
  static std::once_flag once;
  std::call_once(once, [] { WinportRegisterResources(&kTable, &kTable); });
  return WinportModuleFromAddress(&kTable);
}

}  // namespace sample
