// @brief The Windows code page that decodes a charset label.
#pragma once

#include <string_view>

namespace dizode {

// The code page number for a lower-case charset label ("shift_jis", "iso-8859-2",
// "windows-1251", "cp866", ...), or 0 when the label names no code page the system's
// converter reads. UTF-8, UTF-16 and windows-1252 are decoded by the engine itself and are
// not listed.
unsigned CodePageOf(std::string_view label);

}  // namespace dizode
