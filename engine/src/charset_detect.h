// @brief The detector step of charset sniffing: a statistical guess from the page's bytes.
#pragma once

#include <string>
#include <string_view>

namespace dizode {

// The charset the bytes look like, spelt as the detector spells it (e.g. "WINDOWS-1251"), or
// empty when the detector names none or the bytes hold too few non-ASCII characters for a
// guess to mean anything. Looks at a bounded window around the first non-ASCII byte, so the
// cost does not grow with the page.
std::string GuessCharset(std::string_view bytes);

}  // namespace dizode
