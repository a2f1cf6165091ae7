// @brief Paths written so that a user can paste them into a shell.
#pragma once

#include <string>
#include <string_view>

namespace zvv {

// `text` unchanged when every character is one a shell takes as it is (letters, digits and
// _ . / - + , : @ % =, or any byte of a character outside ASCII); otherwise the whole of it in
// single quotes, each single quote written '\''. An empty text is ''.
std::string ShellWord(std::string_view text);

}  // namespace zvv
