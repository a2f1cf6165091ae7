// @brief The process-wide table of modules' resources, filled when a module's
// embedded resource file registers itself as the module loads.
#pragma once

#include "winport/api/base.h"
#include "winport/src/ui/resource_file.h"

namespace winport::ui {

// The module whose resources a handle names: a null handle is the program.
HMODULE ResolveModule(HINSTANCE instance);

// The first resource of this type and name in the module's registered files,
// in registration order. `type` and `name` are 16-bit ids (MAKEINTRESOURCEA)
// or texts, compared without case. Sets *typeFound when some resource of the
// type exists, so callers can tell a missing type from a missing name. The
// entry stays valid while the owning module is loaded.
const ResourceEntry* FindResourceEntry(HMODULE module, LPCSTR type, LPCSTR name, bool* typeFound);

}  // namespace winport::ui
