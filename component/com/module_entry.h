// @brief The module record: the handle through which the module reaches its
// own file, resources and type library.
#pragma once

#include "winport/win32.h"

struct ModuleRecord {
  HINSTANCE m_hInstance = nullptr;
  HINSTANCE m_hResourceInstance = nullptr;
  HINSTANCE m_hTypeLibInstance = nullptr;
};

// The record as the module entry filled it at load; all null before.
const ModuleRecord& Module();

#ifndef DLL_PROCESS_ATTACH
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#endif

// The loader's load and unload notification.
extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved);
