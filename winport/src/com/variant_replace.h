// @brief Replacing a VARIANT with a value built aside.
#pragma once

#include "winport/win32.h"

namespace winport {

// Clears *dest and moves *built into it, leaving *built empty. When *dest
// cannot be cleared (a locked array), *built is cleared instead and the
// failure returned. Building aside first lets source and destination be the
// same VARIANT.
[[nodiscard]] HRESULT ReplaceVariant(VARIANT* dest, VARIANT* built);

}  // namespace winport
