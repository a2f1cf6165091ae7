// The automation declarations that the IDL compiler's header includes, where
// winport provides them; the header itself is included with COM_NO_WINDOWS_H
// defined, so nothing else of the system's is asked for.
#pragma once

#include "winport/win32.h"

// The system headers' opening of an interface declaration with its identifier.
#define MIDL_INTERFACE(iid) struct
