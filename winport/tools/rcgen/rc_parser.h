// @brief Parsing the statements of a resource script: STRINGTABLE, DIALOG and
// DIALOGEX with CAPTION, STYLE, EXSTYLE and FONT and their controls (CONTROL,
// LTEXT, CTEXT, RTEXT, EDITTEXT, PUSHBUTTON, DEFPUSHBUTTON, GROUPBOX), and
// resources of any other type whose data is a file (`101 REGISTRY "x.rgs"`).
//
// Styles follow the resource compiler: every control starts from WS_CHILD |
// WS_VISIBLE plus its statement's defaults, the style expression's terms are
// added and `NOT term` removes one; a dialog's STYLE replaces its default,
// CAPTION adds WS_CAPTION and FONT adds DS_SETFONT.
#pragma once

#include <string>

#include "winport/tools/rcgen/rc_model.h"

namespace rcgen {

// Throws ScriptError.
Script ParseScript(const std::string& path);
Script ParseScriptText(const std::string& text, const std::string& name);

}  // namespace rcgen
