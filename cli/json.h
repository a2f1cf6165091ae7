// @brief The little JSON that zvv writes: one flat object per hit.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "cli/hit.h"

namespace zvv {

// A JSON string literal, quotes included. Every control character (C0, DEL
// and C1) is escaped, so no line can drive a terminal it is printed on; valid
// UTF-8 passes through and any other byte becomes U+FFFD, so every line parses.
std::string JsonString(std::string_view text);

// {"score":…,"title":…,"key":…,"path":…}; the score is a number when it is one.
std::string HitToJson(const Hit& hit);

// The line zvv watch --json writes after each answer: {"end":true,"query":…} with "hits" and
// "shown" when the search ran, or "error":true when it failed.
std::string EndOfAnswerJson(std::string_view query, bool ok, std::size_t hits, std::size_t shown);

}  // namespace zvv
