// @brief The module lock count.
#include "component/com/module_lock.h"

namespace {
LONG volatile g_nModuleLocks = 0;
}  // namespace

void LockModule() { InterlockedIncrement(&g_nModuleLocks); }
void UnlockModule() { InterlockedDecrement(&g_nModuleLocks); }
LONG ModuleLockCount() { return InterlockedCompareExchange(&g_nModuleLocks, 0, 0); }
