// @brief How many terminal columns text takes, and text cut to a number of columns.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zvv {

// Columns that UTF-8 `text` takes on a terminal: two for a wide (East Asian)
// character, none for a combining mark or other zero-width character, one for
// the rest, a byte that is not UTF-8 included. Controls count none: the table
// shows them through VisibleText, never raw.
std::size_t DisplayWidth(std::string_view text);

// `text` cut to at most `width` columns, ending in "…" when it was cut. The cut
// falls between characters, so a wide character that would straddle the edge
// goes whole (the result may then be a column short), and combining marks stay
// with the character they belong to.
std::string FitToWidth(std::string_view text, std::size_t width);

}  // namespace zvv
