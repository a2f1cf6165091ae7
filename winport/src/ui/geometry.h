// @brief Fixed geometry of the virtual screen: dialog units to pixels and a
// dialog's outer rectangle.
//
// Base units are 6 x 13 pixels, the figures of an 8-point dialog font at 96
// dots per inch, so x = dlu * 6 / 4 and y = dlu * 13 / 8, rounded as MulDiv
// rounds. A captioned window adds kWinportFrame on every side and
// kWinportCaption above its client area (winport/api/ui.h).
#pragma once

#include "winport/api/base.h"

namespace winport::ui {

inline constexpr int kBaseUnitX = 6;
inline constexpr int kBaseUnitY = 13;

// nNumber * nNumerator / nDenominator in 64 bits, rounding halves away from
// zero; -1 for a zero denominator.
int MulDivRound(int number, int numerator, int denominator);

RECT DialogUnitsToPixels(const RECT& units);

// The outer rectangle of a dialog whose client area has this size, with its
// top left corner at `origin`.
RECT OuterRect(POINT origin, SIZE_T clientWidth, SIZE_T clientHeight, DWORD style);

// The frame a dialog of this style adds around its client area (left, top,
// right, bottom). Control styles reuse the low bits, so this is for dialogs.
RECT FrameInsets(DWORD style);

}  // namespace winport::ui
