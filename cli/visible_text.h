// @brief Text from page files made safe to print on a terminal.
#pragma once

#include <string>
#include <string_view>

namespace zvv {

// `text` with every control character (C0, DEL, C1) written as a visible
// escape, "\x1b" or "\u{9b}", and every byte that is not part of well-formed
// UTF-8 as "\xff". A file name or title can then neither move the cursor, set
// the window title nor clear the screen, and a reader still sees it was there.
std::string VisibleText(std::string_view text);

// C0 controls, DEL and C1 controls: what a terminal may act on instead of showing.
bool IsControl(char32_t value);

}  // namespace zvv
