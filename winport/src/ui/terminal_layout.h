// @brief How a dialog looks on a terminal: a box of text lines drawn from a
// snapshot, with a fixed number of lines for a given dialog so that it can be
// redrawn in place.
//
// The controls are grouped into bands of overlapping vertical extent (the
// message pane and the count line share one); each band shows its first
// visible control: statics and edits as text (a multi-line edit gets three
// lines), progress bars as a bar with a percentage, buttons in brackets.
#pragma once

#include <string>
#include <vector>

#include "winport/ui_driver.h"

namespace winport::ui {

// The box's width in columns: the dialog's width in base units, kept within
// the terminal (columns - 1, to stay clear of the last column's wrapping).
int TerminalBoxWidth(const RECT& window, int columns);

std::vector<std::string> LayoutDialog(const WinportPaintSnapshot& snapshot, int width,
                                      bool unicode);

// Splits text into lines of at most `width` characters at blanks where it
// can, honouring its own line breaks. UTF-8 sequences are kept whole.
std::vector<std::string> WrapText(const std::string& text, int width);

// The number of characters (code points) of UTF-8 text.
int TextColumns(const std::string& text);

}  // namespace winport::ui
