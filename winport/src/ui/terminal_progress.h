// @brief What a dialog's progress bar shows on the terminal.
//
// The bar tells the truth rather than copying the control: while the dialog
// shows a count such as "Document 12 of 250", the bar and its percentage are
// that count's share (a control stepped once per message may wrap back to its
// start long before the work is done), otherwise the control's position; and
// the bar never shows less than it showed earlier in the same dialog.
#pragma once

#include <string>

#include "winport/ui_driver.h"

namespace winport::ui {

inline constexpr int kBarWhole = 1000;

// The share of the work a dialog's bar has shown, in thousandths; kept by the
// display from one paint of a dialog to the next.
struct BarMemory {
  int m_permille = 0;
};

struct Count {
  std::string m_label;  // the words before the count, "Document"
  long long m_done = 0;
  long long m_total = 0;
};

// "N of M" ending a text, N a word of its own (blanks around "of" as they
// come, 0 < N <= M), as in "Document 12  of 250"; false for any other text.
bool ReadCount(const std::string& text, Count* count);

// The count as shown: "Document 12 of 250".
std::string CountText(const Count& count);

// The share for `bar` in this snapshot, in thousandths, raising `memory`
// (when given) to it and never returning less than it held.
int BarPermille(const WinportPaintSnapshot& snapshot, const WinportControlState& bar,
                BarMemory* memory);

}  // namespace winport::ui
