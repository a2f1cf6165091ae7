// @brief The watcher thread's start record and procedure.
#pragma once

#include <string>

#include "winport/win32.h"

class ViveviVadiro;

// Handed to the new thread, which releases it when it ends.
struct WatcherStart {
  std::string sFolder;  // copy of m_sHelpDir
  ViveviVadiro* pComponent;
};

// The watcher thread, started through the runtime's thread start.
unsigned __stdcall WatcherThread(void* pArg);
