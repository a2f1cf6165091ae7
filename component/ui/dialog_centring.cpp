// @brief Placing the progress dialog over the middle of the host's window.
#include "component/ui/dialog_centring.h"

#include "component/host/host_application.h"

HostWindowRect ReadHostWindowRect(IHostApplication* pHost) {
  HostWindowRect host;
  if (!pHost) return {};
  // One failing read means the host cannot tell where it is; a partial answer
  // would put the dialog somewhere arbitrary.
  if (FAILED(pHost->get_Left(&host.nLeft)) || FAILED(pHost->get_Top(&host.nTop)) ||
      FAILED(pHost->get_Width(&host.nWidth)) || FAILED(pHost->get_Height(&host.nHeight))) {
    return {};
  }
  return host;
}

bool CentredOrigin(const HostWindowRect& host, const RECT& rcDialog, POINT* pOrigin) {
  if (host.nWidth == 0 || host.nHeight == 0) return false;
  // Both halves truncate toward zero, odd sizes included.
  const LONG nDialogWidth = rcDialog.right - rcDialog.left;
  const LONG nDialogHeight = rcDialog.bottom - rcDialog.top;
  pOrigin->x = host.nLeft + host.nWidth / 2 - nDialogWidth / 2;
  pOrigin->y = host.nTop + host.nHeight / 2 - nDialogHeight / 2;
  return true;
}

void CentreOnHost(HWND hwndDialog, IHostApplication* pHost) {
  const HostWindowRect host = ReadHostWindowRect(pHost);
  RECT rcDialog{};
  POINT origin{};
  if (!GetWindowRect(hwndDialog, &rcDialog) || !CentredOrigin(host, rcDialog, &origin)) return;
  // A dialog that cannot be moved is still usable where it is.
  SetWindowPos(hwndDialog, HWND_TOP, origin.x, origin.y, 0, 0, SWP_NOSIZE);
}
