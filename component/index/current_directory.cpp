// @brief Saving and restoring the current directory.
#include "component/index/current_directory.h"

#include <vector>

#include "winport/win32.h"

CurrentDirectoryRestorer::CurrentDirectoryRestorer() {
  DWORD needed = GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) {
    return;
  }
  std::vector<char> buffer(needed + 1);
  DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length != 0 && length < buffer.size()) {
    m_sPrevious.assign(buffer.data(), length);
  }
}

CurrentDirectoryRestorer::~CurrentDirectoryRestorer() {
  if (!m_sPrevious.empty()) {
    SetCurrentDirectoryA(m_sPrevious.c_str());
  }
}
