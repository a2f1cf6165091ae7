// @brief The one gate to platform services for the component, the engine's
// callers and the terminal host.
//
// On Windows this header includes the system headers and nothing else. On
// every other platform it declares the same names, which the winport library
// implements with the Windows semantics their callers rely on. No file outside
// winport/ includes an operating-system header for these services.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <commctrl.h>
#include <process.h>
#else
#include "winport/api/base.h"
#include "winport/api/errors.h"
#include "winport/api/module.h"
#include "winport/api/files.h"
#include "winport/api/sync.h"
#include "winport/api/notify.h"
#include "winport/api/text.h"
#include "winport/api/com.h"
#include "winport/api/oleauto.h"
#include "winport/api/dispatch.h"
#include "winport/api/registry.h"
#include "winport/api/resources.h"
#include "winport/api/ui.h"
#endif
