// @brief The resources of winport's UI tests (sample.rc, compiled into the
// test program), shaped like a progress dialog: a heading, a hidden progress
// bar, a message pane and a hidden count line that shares the pane's area.
// The identifiers are shared with the script, which sees only the macros.
#pragma once

#define SAMPLE_DIALOG 201
#define SAMPLE_HEADING 202
#define SAMPLE_BAR 204
#define SAMPLE_PANE 205
#define SAMPLE_COUNT 206
#define SAMPLE_BLOB 101

#ifndef RC_INVOKED
#include "winport/win32.h"

namespace sample {

inline constexpr int kDialog = SAMPLE_DIALOG;
inline constexpr int kHeading = SAMPLE_HEADING;
inline constexpr int kBar = SAMPLE_BAR;
inline constexpr int kPane = SAMPLE_PANE;
inline constexpr int kCount = SAMPLE_COUNT;
inline constexpr UINT kStartWork = WM_USER + 0x80;

// The data of the custom resource SAMPLE_BLOB of type "REGISTRY".
inline constexpr unsigned char kBlob[] = {1, 2, 3, 4, 5};

// The test program's module handle, which holds the resources.
inline HINSTANCE Module() {
  return WinportModuleFromAddress(reinterpret_cast<const void*>(&Module));
}

}  // namespace sample
#endif
