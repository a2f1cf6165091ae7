// @brief Shared objects as modules: loading, symbols, file names and module handles.
//
// An HMODULE is the load base address of the shared object (or of the
// executable), as on Windows where a module handle is its image base. The same
// library therefore has the same HMODULE whether it came from LoadLibraryA,
// GetModuleHandleA or WinportModuleFromAddress, and code that keys tables by
// HMODULE (resources, class objects) finds one entry per library.
#pragma once

#include "winport/api/base.h"

HMODULE LoadLibraryA(LPCSTR lpLibFileName);
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
BOOL FreeLibrary(HMODULE hLibModule);
DWORD GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
HMODULE GetModuleHandleA(LPCSTR lpModuleName);
BOOL DisableThreadLibraryCalls(HMODULE hLibModule);

// Winport-only: the HMODULE of the loaded shared object (or executable) that
// contains `address`, so that a library can find its own handle. Returns NULL
// with ERROR_MOD_NOT_FOUND when no loaded object contains the address.
HMODULE WinportModuleFromAddress(const void* address);
