// @brief The separator that joins a folder and a name in every path and
// document key the component builds.
#pragma once

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
inline constexpr char kPathSeparatorText[] = "\\";
#else
inline constexpr char kPathSeparator = '/';
inline constexpr char kPathSeparatorText[] = "/";
#endif
