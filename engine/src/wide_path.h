// @brief UTF-8 paths as the wide-character strings Windows' file functions take,
// and as the standard library's file functions take them on every platform.
#pragma once

#include <filesystem>
#include <string>

namespace dizode {

// `utf8` converted to UTF-16; an invalid sequence becomes U+FFFD, which names no file.
std::wstring WidePath(const std::string& utf8);

// A file name as the system lists it, in UTF-8.
std::string Utf8Name(const wchar_t* name);

// `utf8` as a path for the standard library: on Windows it would read a narrow
// path in the local code page.
inline std::filesystem::path FilePath(const std::string& utf8) {
#ifdef _WIN32
  return std::filesystem::path(WidePath(utf8));
#else
  return std::filesystem::path(utf8);
#endif
}

}  // namespace dizode
