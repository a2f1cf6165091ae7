// @brief The built module, loaded as a client loads it, with a registry file
// of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "component/tests/support/temp_folder.h"
#include "winport/tests/support/hr_assert.h"
#include "winport/tests/support/registry_keys.h"
#include "winport/win32.h"

class RegistrationTest : public ::testing::Test {
 protected:
  using ExportFunction = HRESULT(STDAPICALLTYPE*)();

  void SetUp() override {
    sRegistryFile = (temp.Path() / "registry.reg").string();
    ::setenv("ZVV_REGISTRY_FILE", sRegistryFile.c_str(), 1);
    // The module is built beside this test program.
    sModulePath =
        std::filesystem::canonical(std::filesystem::read_symlink("/proc/self/exe").parent_path() /
                                   "libZoViveviVadiro.so")
            .string();
    hModule = LoadLibraryA(sModulePath.c_str());
    ASSERT_NE(nullptr, hModule) << sModulePath;
  }
  void TearDown() override {
    if (hModule) {
      FreeLibrary(hModule);
    }
    ::unsetenv("ZVV_REGISTRY_FILE");
  }

  HRESULT Call(const char* sExport) const {
    auto pFunction =
        reinterpret_cast<ExportFunction>(reinterpret_cast<void*>(GetProcAddress(hModule, sExport)));
    if (!pFunction) {
      return E_NOTIMPL;
    }
    return pFunction();
  }

  std::string RegistryText() const {
    std::ifstream in(sRegistryFile, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  TempFolder temp;
  std::string sRegistryFile;
  std::string sModulePath;
  HMODULE hModule = nullptr;
};
