// @brief The little JSON that zvv writes: one flat object per hit.
#pragma once

#include <string>
#include <string_view>

#include "cli/hit.h"

namespace zvv {

// A JSON string literal, quotes included. Control characters are escaped;
// other bytes pass through, so valid UTF-8 stays valid.
std::string JsonString(std::string_view text);

// {"score":…,"title":…,"key":…,"path":…}; the score is a number when it is one.
std::string HitToJson(const Hit& hit);

}  // namespace zvv
