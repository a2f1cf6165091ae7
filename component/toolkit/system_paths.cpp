// @brief UTF-8 paths handed to the system's calls: Windows takes a path
// outside the ANSI code page only in its wide functions.
#include "component/toolkit/system_paths.h"

#include "component/search/text_conversion.h"

namespace {

// A path cut at MAX_PATH names another file.
bool FitsMaxPath(DWORD length) {
  if (length < MAX_PATH) {
    return true;
  }
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return false;
}

}  // namespace

#ifdef _WIN32

std::string ModuleFileName(HMODULE hModule) {
  WCHAR path[MAX_PATH + 1] = {};
  return FitsMaxPath(GetModuleFileNameW(hModule, path, MAX_PATH)) ? WideToNarrow(path)
                                                                  : std::string();
}

HMODULE LoadModule(const std::string& sPath) {
  return LoadLibraryW(NarrowToWide(sPath.c_str()).c_str());
}

bool CreateFolder(const std::string& sPath) {
  return CreateDirectoryW(NarrowToWide(sPath.c_str()).c_str(), nullptr) != FALSE;
}

#else

std::string ModuleFileName(HMODULE hModule) {
  char path[MAX_PATH + 1] = {};
  return FitsMaxPath(GetModuleFileNameA(hModule, path, MAX_PATH)) ? std::string(path)
                                                                  : std::string();
}

HMODULE LoadModule(const std::string& sPath) { return LoadLibraryA(sPath.c_str()); }

bool CreateFolder(const std::string& sPath) {
  return CreateDirectoryA(sPath.c_str(), nullptr) != FALSE;
}

#endif

// The standard library reads char8_t text as UTF-8 on every platform, where
// plain char means the ANSI code page on Windows.
std::filesystem::path FileSystemPath(const std::string& sPath) {
  return std::filesystem::path(std::u8string(sPath.begin(), sPath.end()));
}

std::string PathText(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}
