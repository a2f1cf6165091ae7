// @brief Writing a parsed script as the C++ source that registers it with
// winport when its module loads (see winport/resource_table.h).
#pragma once

#include <string>

#include "winport/tools/rcgen/rc_model.h"

namespace rcgen {

// `source` names the script in the generated file's first comment.
std::string WriteCpp(const Script& script, const std::string& source);

// A C++ string literal for any bytes: printable ASCII as it stands, the rest
// as three-digit octal escapes (which cannot swallow a following digit).
std::string CppLiteral(const std::string& text);

}  // namespace rcgen
