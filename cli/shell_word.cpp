// @brief Shell quoting of paths.
#include "cli/shell_word.h"

#include <algorithm>

namespace zvv {
namespace {

bool IsPlain(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  // Bytes of UTF-8 sequences: no shell gives them a meaning.
  if (static_cast<unsigned char>(c) >= 0x80) return true;
  return std::string_view("_./-+,:@%=").find(c) != std::string_view::npos;
}

}  // namespace

std::string ShellWord(std::string_view text) {
  if (!text.empty() && std::all_of(text.begin(), text.end(), IsPlain)) return std::string(text);
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

}  // namespace zvv
