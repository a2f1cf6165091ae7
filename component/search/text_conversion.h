// @brief Conversions between the wide text of automation and the narrow text
// of the toolkit and of paths.
//
// Both never overflow, always terminate and map what cannot be converted to
// "?". The narrow side is UTF-8 on every platform, as the toolkit takes and
// gives it; on Windows the component hands such text to the system through
// its wide functions, never the ANSI ones.
#pragma once

#include <string>

#include "winport/win32.h"

using WideString = std::basic_string<OLECHAR>;

// Text up to the first NUL of sWide; a null pointer gives "".
std::string WideToNarrow(const OLECHAR* sWide);

// Text up to the first NUL of sNarrow; a null pointer gives an empty text.
WideString NarrowToWide(const char* sNarrow);
