// @brief A registry file of the test's own, in a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "winport/tests/support/hr_assert.h"
#include "winport/tests/support/registry_keys.h"
#include "winport/tests/system/temp_folder.h"
#include "winport/win32.h"

namespace winport_test {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_file = m_folder / "data/registry.reg";
    ::setenv("ZVV_REGISTRY_FILE", m_file.c_str(), 1);
  }
  void TearDown() override { ::unsetenv("ZVV_REGISTRY_FILE"); }

  std::string FileText() const {
    std::ifstream in(m_file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  // The default (or named) text value of HKCR\path, "<missing>" when absent.
  static std::string Text(const std::string& path, const char* name = nullptr) {
    return KeyText(path, name ? name : "");
  }

  static bool Exists(const std::string& path) { return KeyExists(path); }

  // Creates HKCR\path with a default text.
  static void Put(const std::string& path, const std::string& text) {
    ASSERT_TRUE(PutKey(path, text)) << path;
  }

  TempFolder m_folder;
  std::string m_file;
};

}  // namespace winport_test
