// @brief Threads, mutexes, events, waits and interlocked operations.
//
// Every HANDLE names a checked object: a closed, foreign or wrong-kind handle
// fails with ERROR_INVALID_HANDLE instead of being dereferenced.
#pragma once

#include "winport/api/base.h"

#define INFINITE 0xFFFFFFFF
#define WAIT_OBJECT_0 0x00000000L
#define WAIT_ABANDONED 0x00000080L
#define WAIT_ABANDONED_0 0x00000080L
#ifndef WAIT_TIMEOUT
#define WAIT_TIMEOUT 258L
#endif
#define WAIT_FAILED (static_cast<DWORD>(0xFFFFFFFF))
#define MAXIMUM_WAIT_OBJECTS 64
#define STILL_ACTIVE 259L
#define CREATE_SUSPENDED 0x00000004

BOOL CloseHandle(HANDLE hObject);

// --- Threads -----------------------------------------------------------------
typedef unsigned(__stdcall* _beginthreadex_proc_type)(void*);
uintptr_t _beginthreadex(void* security, unsigned stack_size,
                         _beginthreadex_proc_type start_address, void* arglist, unsigned initflag,
                         unsigned* thrdaddr);
BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);
DWORD GetCurrentThreadId();
void Sleep(DWORD dwMilliseconds);

// --- Mutexes and events --------------------------------------------------------
HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES lpMutexAttributes, BOOL bInitialOwner, LPCSTR lpName);
BOOL ReleaseMutex(HANDLE hMutex);
// Unlike a mutex, an event has no owner: any thread may signal it.
HANDLE CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset, BOOL bInitialState,
                    LPCSTR lpName);
BOOL SetEvent(HANDLE hEvent);

// --- Waits ---------------------------------------------------------------------
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);
DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                             DWORD dwMilliseconds);

// --- Interlocked operations ------------------------------------------------------
// Full barriers, as on Windows. Each returns what Windows returns: the new value
// for increment and decrement, the previous value for the compare-exchange.
inline LONG InterlockedIncrement(LONG volatile* Addend) {
  return __atomic_add_fetch(Addend, 1, __ATOMIC_SEQ_CST);
}
inline LONG InterlockedDecrement(LONG volatile* Addend) {
  return __atomic_sub_fetch(Addend, 1, __ATOMIC_SEQ_CST);
}
inline LONG InterlockedCompareExchange(LONG volatile* Destination, LONG Exchange, LONG Comperand) {
  __atomic_compare_exchange_n(Destination, &Comperand, Exchange, false, __ATOMIC_SEQ_CST,
                              __ATOMIC_SEQ_CST);
  return Comperand;
}
