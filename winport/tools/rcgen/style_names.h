// @brief The system's named constants that resource scripts use for styles
// (WS_*, DS_*, SS_*, ES_*, BS_*, PBS_*), with the values winport declares.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace rcgen {

std::optional<uint32_t> StyleValue(const std::string& name);

// The class a bare word in a CONTROL statement names ("EDIT" -> "edit",
// "PROGRESS_CLASS" -> "msctls_progress32"), or empty.
std::string ClassForWord(const std::string& word);

}  // namespace rcgen
