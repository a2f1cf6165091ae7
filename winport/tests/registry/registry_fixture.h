// @brief A registry file of the test's own, in a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "winport/tests/support/hr_assert.h"
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
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return "<missing>";
    }
    char buffer[1024] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    const LONG status =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) {
      return "<missing>";
    }
    return std::string(buffer);
  }

  static bool Exists(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(key);
    return true;
  }

  // Creates HKCR\path with a default text.
  static void Put(const std::string& path, const std::string& text) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1)));
    RegCloseKey(key);
  }

  TempFolder m_folder;
  std::string m_file;
};

}  // namespace winport_test
