// @brief Finding the engine library beside the component's own module and
// its operations in it.
#pragma once

#include "winport/win32.h"

class EngineLibrary {
 public:
  // Loads the engine from the folder of the module that holds this code.
  // The library stays loaded for the life of the process: the toolkit table
  // points into it.
  bool Load();
  // The address of one operation: by name where the engine exports names, by
  // ordinal from the Windows toolkit library. Null when it is missing.
  FARPROC Find(const char* name, int ordinal) const;

 private:
  HMODULE m_hEngine = nullptr;
};
