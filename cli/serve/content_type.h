// @brief The content type a served file is sent with, chosen by its extension.
#pragma once

#include <string>
#include <string_view>

namespace zvv {

// "text/html" for help pages (.htm, .html), the usual types for styles,
// scripts, images and fonts, in any letter case of the extension, and
// "application/octet-stream" for anything else, so that a browser told not to
// sniff never runs an unknown file as a page or a script.
std::string_view ContentTypeFor(std::string_view fileName);

// Whether the component indexes a file of this name: a help page.
bool IsHelpPageName(std::string_view fileName);

}  // namespace zvv
