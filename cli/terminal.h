// @brief What zvv needs to know about the terminal it runs on.
#pragma once

#include <cstddef>

namespace zvv {

enum class Stream { kInput = 0, kOutput = 1, kError = 2 };

// True when the stream is an interactive terminal.
bool IsTerminal(Stream stream);

struct TerminalSize {
  std::size_t m_columns;
  std::size_t m_rows;
};

// The terminal's size in characters: COLUMNS and LINES when set, else 80 x 24.
TerminalSize GetTerminalSize();

}  // namespace zvv
