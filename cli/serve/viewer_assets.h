// @brief The viewer's page, style sheet and script, compiled into zvv.
#pragma once

#include <string_view>

namespace zvv {

// The asset served at "/<name>" ("index.html", "viewer.css", "viewer.js"),
// or nullptr when there is none of that name.
const std::string_view* FindViewerAsset(std::string_view name);

}  // namespace zvv
