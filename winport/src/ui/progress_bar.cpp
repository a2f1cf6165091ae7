// @brief The progress bar control: range, position and stepping.
//
// Results follow the control: PBM_SETRANGE returns the previous range packed
// as MAKELPARAM(min, max), PBM_SETPOS, PBM_DELTAPOS and PBM_STEPIT the
// previous position, PBM_SETSTEP the previous step (10 initially). Positions
// set directly are clamped to the range. Stepping past the maximum starts
// over from the minimum ("starts over again from the beginning"): with the
// range 0..1024 and a step of 1, the 1024th step reaches 1024 and the 1025th
// gives 0.
#include "winport/src/ui/progress_bar.h"

#include <algorithm>

#include "winport/api/ui.h"

namespace winport::ui {
namespace {

int Clamp(const ProgressState& bar, long long pos) {
  return static_cast<int>(std::clamp<long long>(pos, bar.m_min, std::max(bar.m_min, bar.m_max)));
}

LRESULT SetRange(ProgressState& bar, int low, int high) {
  LRESULT previous = MAKELPARAM(bar.m_min, bar.m_max);
  bar.m_min = low;
  bar.m_max = high;
  return previous;
}

}  // namespace

bool HandleProgressMessage(ProgressState& bar, UINT message, WPARAM wParam, LPARAM lParam,
                           LRESULT* result) {
  int previous = bar.m_pos;
  switch (message) {
    case PBM_SETRANGE:  // unsigned 16-bit limits, packed in the parameter
      *result = SetRange(bar, LOWORD(lParam), HIWORD(lParam));
      return true;
    case PBM_SETRANGE32:
      *result = SetRange(bar, static_cast<int>(wParam), static_cast<int>(lParam));
      return true;
    case PBM_GETRANGE:
      *result = wParam != 0 ? bar.m_min : bar.m_max;
      return true;
    case PBM_SETPOS:
      bar.m_pos = Clamp(bar, static_cast<int>(wParam));
      *result = previous;
      return true;
    case PBM_DELTAPOS:
      bar.m_pos = Clamp(bar, static_cast<long long>(bar.m_pos) + static_cast<int>(wParam));
      *result = previous;
      return true;
    case PBM_GETPOS:
      *result = bar.m_pos;
      return true;
    case PBM_SETSTEP:
      *result = bar.m_step;
      bar.m_step = static_cast<int>(wParam);
      return true;
    case PBM_STEPIT: {
      long long next = static_cast<long long>(bar.m_pos) + bar.m_step;
      bar.m_pos = next > bar.m_max ? bar.m_min : Clamp(bar, next);
      *result = previous;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace winport::ui
