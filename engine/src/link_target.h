// @brief The page a link names: its target resolved against the key of the page that holds it.
#pragma once

#include <string>
#include <string_view>

namespace dizode {

// The key that `href` (as PageLink keeps it: relative, no scheme) names from the page with key
// `source`: the fragment and query dropped, %-escapes decoded, '.' and '..' steps applied, joined
// with the separator the source key uses. Empty when it names no page: a link to the page itself,
// one that climbs above the source key's root, or one whose path is empty.
std::string LinkTarget(std::string_view source, std::string_view href);

}  // namespace dizode
