// @brief Dialog units, frames and outer rectangles.
#include "winport/src/ui/geometry.h"

#include <cstdint>

#include "winport/api/ui.h"

namespace winport::ui {

int MulDivRound(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  int64_t product = static_cast<int64_t>(number) * numerator;
  bool negative = (product < 0) != (denominator < 0);
  int64_t magnitude = (product < 0 ? -product : product);
  int64_t divisor = denominator < 0 ? -static_cast<int64_t>(denominator) : denominator;
  int64_t quotient = (magnitude + divisor / 2) / divisor;
  return static_cast<int>(negative ? -quotient : quotient);
}

RECT DialogUnitsToPixels(const RECT& units) {
  return RECT{MulDivRound(units.left, kBaseUnitX, 4), MulDivRound(units.top, kBaseUnitY, 8),
              MulDivRound(units.right, kBaseUnitX, 4), MulDivRound(units.bottom, kBaseUnitY, 8)};
}

RECT FrameInsets(DWORD style) {
  bool framed = (style & (WS_CAPTION | WS_DLGFRAME | WS_THICKFRAME | WS_BORDER)) != 0 ||
                (style & DS_MODALFRAME) != 0;
  LONG side = framed ? kWinportFrame : 0;
  LONG caption = (style & WS_CAPTION) == WS_CAPTION ? kWinportCaption : 0;
  return RECT{side, side + caption, side, side};
}

RECT OuterRect(POINT origin, SIZE_T clientWidth, SIZE_T clientHeight, DWORD style) {
  RECT insets = FrameInsets(style);
  return RECT{origin.x, origin.y,
              origin.x + insets.left + static_cast<LONG>(clientWidth) + insets.right,
              origin.y + insets.top + static_cast<LONG>(clientHeight) + insets.bottom};
}

}  // namespace winport::ui
