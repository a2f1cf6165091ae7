// @brief Reading lines through the line editing library or standard input.
#include "cli/line_reader.h"

#include <editline/readline.h>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <utility>

namespace zvv {
namespace {

struct FreeLine {
  void operator()(char* line) const { std::free(line); }
};

}  // namespace

LineReader::LineReader(bool interactive, std::string prompt)
    : m_interactive(interactive), m_prompt(std::move(prompt)) {}

std::optional<std::string> LineReader::ReadLine() {
  if (!m_interactive) {
    std::string line;
    if (!std::getline(std::cin, line)) return std::nullopt;
    return line;
  }
  std::cout.flush();
  const std::unique_ptr<char, FreeLine> line(readline(m_prompt.c_str()));
  if (!line) {
    std::cout << '\n' << std::flush;
    return std::nullopt;
  }
  std::string text(line.get());
  // Blank lines and repeats of the line before would only clutter the history.
  if (text.find_first_not_of(" \t") != std::string::npos && text != m_lastInHistory) {
    add_history(text.c_str());
    m_lastInHistory = text;
  }
  return text;
}

}  // namespace zvv
