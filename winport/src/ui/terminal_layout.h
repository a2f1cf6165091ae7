// @brief How a dialog looks on a terminal: a box of text lines drawn from a
// snapshot, with a fixed number of lines for a given dialog so that it can be
// redrawn in place.
//
// The controls are grouped into bands of overlapping vertical extent (the
// message pane and the count line share one); each band shows its first
// visible control: statics and edits as text (a multi-line edit gets three
// lines), progress bars as a bar with a percentage, buttons in brackets.
// A count line is shown as "Document 12 of 250", however it spaces its words.
#pragma once

#include <string>
#include <vector>

#include "winport/src/ui/terminal_progress.h"
#include "winport/ui_driver.h"

namespace winport::ui {

// The box's width in columns: the dialog's width in base units, kept within
// the terminal (columns - 1, to stay clear of the last column's wrapping).
int TerminalBoxWidth(const RECT& window, int columns);

// The box's lines for a snapshot; `bar`, when given, is the dialog's memory
// of its bar, read and raised.
std::vector<std::string> LayoutDialog(const WinportPaintSnapshot& snapshot, int width, bool unicode,
                                      BarMemory* bar = nullptr);

// Rows that `lines` lines, each `drawnWidth` columns wide, take once the
// terminal is `columns` wide: a terminal that narrows wraps each line onto
// as many rows as it needs.
int RowsAfterResize(int lines, int drawnWidth, int columns);

// Splits text into lines of at most `width` characters at blanks where it
// can, honouring its own line breaks. UTF-8 sequences are kept whole.
std::vector<std::string> WrapText(const std::string& text, int width);

// The number of characters (code points) of UTF-8 text.
int TextColumns(const std::string& text);

}  // namespace winport::ui
