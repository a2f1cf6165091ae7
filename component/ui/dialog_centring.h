// @brief Placing the progress dialog over the middle of the host's window.
#pragma once

#include "winport/win32.h"

struct IHostApplication;

// The host window as the host reports it, in screen pixels.
struct HostWindowRect {
  LONG nLeft = 0;
  LONG nTop = 0;
  LONG nWidth = 0;
  LONG nHeight = 0;
};

// Asks the host for its window's left edge, top edge, width and height, in
// that order. A missing host, or a host that cannot answer any of the four,
// gives all zeros: the dialog then stays where the platform put it.
HostWindowRect ReadHostWindowRect(IHostApplication* pHost);

// Where a dialog with outer rectangle rcDialog goes so that its middle meets
// the middle of the host window. False when the host reported no size.
bool CentredOrigin(const HostWindowRect& host, const RECT& rcDialog, POINT* pOrigin);

// Moves hwndDialog over the host window's middle and to the top of the window
// order, keeping its size. Failures leave the dialog where it is.
void CentreOnHost(HWND hwndDialog, IHostApplication* pHost);
