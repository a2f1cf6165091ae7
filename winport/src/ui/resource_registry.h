// @brief The process-wide table of modules' resources, filled by the
// registrars that generated resource sources run when a module loads.
#pragma once

#include "winport/api/base.h"
#include "winport/resource_table.h"

namespace winport::ui {

// The module whose resources a handle names: a null handle is the program.
HMODULE ResolveModule(HINSTANCE instance);

// Lookups return data that stays valid while the owning module is loaded.
const StringResource* FindStringResource(HMODULE module, UINT id);
// `name` is a 16-bit id (MAKEINTRESOURCEA) or a text, compared without case.
const DialogResource* FindDialogResource(HMODULE module, LPCSTR name);
// Sets *typeFound when some resource of the type exists, so callers can tell
// a missing type from a missing name.
const RawResource* FindRawResource(HMODULE module, LPCSTR type, LPCSTR name, bool* typeFound);

// True when `name` (an id or a text) names the resource with this id and text.
bool ResourceNameMatches(LPCSTR name, WORD id, const char* text);

}  // namespace winport::ui
