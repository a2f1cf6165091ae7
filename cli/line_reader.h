// @brief The lines zvv watch reads: edited with history on a terminal, plain otherwise.
#pragma once

#include <optional>
#include <string>

namespace zvv {

class LineReader {
 public:
  // With `interactive`, lines are read with line editing and history after `prompt`;
  // otherwise they are read from standard input as they come, without a prompt.
  LineReader(bool interactive, std::string prompt);
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  // The next line without its end, or nullopt at the end of input. On a terminal the end of
  // input (Ctrl-D) is followed by a newline, so the shell's prompt starts on a line of its own.
  std::optional<std::string> ReadLine();

 private:
  bool m_interactive;
  std::string m_prompt;
  std::string m_lastInHistory;
};

}  // namespace zvv
