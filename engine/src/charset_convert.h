// @brief Decoding of the charsets the engine has no code of its own for, through the
// operating system's converters.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dizode {

// `bytes` in `charset` (a lower-case label) as UTF-8, each byte sequence the converter
// rejects becoming U+FFFD; nullopt when the system knows no converter for the label. The
// result may still hold control characters: the caller maps them.
std::optional<std::string> ConvertToUtf8(std::string_view bytes, const std::string& charset);

}  // namespace dizode
