// @brief The system calls the component makes with paths, each taking and
// giving UTF-8 so that an install folder or a page of any name works: Windows
// gets the paths through its wide functions, POSIX through winport's, which
// read UTF-8 as they are.
#pragma once

#include <filesystem>
#include <string>

#include "winport/win32.h"

// The file a loaded module came from; "" with the last error set when the
// system cannot tell or the path is longer than MAX_PATH.
std::string ModuleFileName(HMODULE hModule);

// LoadLibrary of the module at sPath.
HMODULE LoadModule(const std::string& sPath);

// CreateDirectory of sPath: false with the last error set when it fails.
bool CreateFolder(const std::string& sPath);

// sPath as the standard library's file functions take it.
std::filesystem::path FileSystemPath(const std::string& sPath);

// A path the standard library gives, in UTF-8.
std::string PathText(const std::filesystem::path& path);
