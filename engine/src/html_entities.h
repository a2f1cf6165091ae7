// @brief Named character references: the code point behind `&name;`.
#pragma once

#include <string_view>

namespace dizode::html {

// The code point `name` (case-sensitive, without `&` and `;`) stands for, or 0 when the name is
// not one of HTML 4's entities.
char32_t LookUpEntity(std::string_view name);

}  // namespace dizode::html
