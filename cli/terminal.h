// @brief What zvv needs to know about the terminal it runs on.
#pragma once

#include <cstddef>

namespace zvv {

enum class Stream { kInput = 0, kOutput = 1, kError = 2 };

// True when the stream is an interactive terminal.
bool IsTerminal(Stream stream);

// True when TERM says the terminal is "dumb": it prints text but cannot move
// its cursor, so nothing may be drawn or redrawn on it.
bool DumbTerminal();

struct TerminalSize {
  std::size_t m_columns;
  std::size_t m_rows;
};

// The terminal's size in character cells: COLUMNS and LINES when set to a
// number (the user's override), else the window of the first of standard
// output, error and input that is a terminal, else 80 x 24.
TerminalSize GetTerminalSize();

}  // namespace zvv
