// @brief Puts the process's current directory back when a scope ends.
//
// The scan works by changing into each folder; without this the process
// would be left in the last folder scanned, which surprises every relative
// path the host uses afterwards.
#pragma once

#include <string>

class CurrentDirectoryRestorer {
 public:
  CurrentDirectoryRestorer();
  ~CurrentDirectoryRestorer();
  CurrentDirectoryRestorer(const CurrentDirectoryRestorer&) = delete;
  CurrentDirectoryRestorer& operator=(const CurrentDirectoryRestorer&) = delete;

 private:
  std::string m_sPrevious;  // empty when it could not be read
};
