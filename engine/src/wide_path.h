// @brief UTF-8 paths as the wide-character strings Windows' file functions take.
#pragma once

#include <string>

namespace dizode {

// `utf8` converted to UTF-16; an invalid sequence becomes U+FFFD, which names no file.
std::wstring WidePath(const std::string& utf8);

// A file name as the system lists it, in UTF-8.
std::string Utf8Name(const wchar_t* name);

}  // namespace dizode
