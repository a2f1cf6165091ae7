// @brief Temporary folders for tests.
#include "component/tests/support/temp_folder.h"

#include <fstream>
#include <random>

TempFolder::TempFolder() {
  std::random_device random;
  for (;;) {
    m_path = std::filesystem::temp_directory_path() /
             ("zvv-component-" + std::to_string(random()) + std::to_string(random()));
    if (std::filesystem::create_directory(m_path)) {
      break;
    }
  }
  // Resolve links (a temp folder under a linked path) so keys compare equal.
  m_path = std::filesystem::canonical(m_path);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

void TempFolder::Write(const std::string& sRelative, const std::string& sContent) const {
  std::filesystem::path file = m_path / sRelative;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << sContent;
}
