// @brief The module lock count: live component objects plus server locks plus
// held class objects. Interlocked, since any thread may load or lock.
#pragma once

#include "winport/win32.h"

void LockModule();
void UnlockModule();
LONG ModuleLockCount();
