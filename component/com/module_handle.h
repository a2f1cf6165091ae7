// @brief The handle of the module that holds the component: its resources
// and the folder the engine is loaded from.
#pragma once

#include "winport/win32.h"

// The module that contains this code, found from an address inside it; it
// works before and without the module entry having run.
HINSTANCE ComponentInstance();
