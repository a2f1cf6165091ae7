// @brief The keys and texts below HKEY_CLASSES_ROOT in the registry file, as tests check and seed
// them, through winport's own reading and changing of the file.
#pragma once

#include <optional>
#include <string>

namespace winport_test {

// Whether HKEY_CLASSES_ROOT\path is a key of the file.
bool KeyExists(const std::string& path);

// The text value of HKEY_CLASSES_ROOT\path with that name (the default value for an empty name),
// "<missing>" when there is no such key or text value.
std::string KeyText(const std::string& path, const std::string& name = {});

// Creates HKEY_CLASSES_ROOT\path with the keys above it and, when given, sets its default text;
// false when the file cannot be changed.
bool PutKey(const std::string& path, const std::optional<std::string>& text = std::nullopt);

}  // namespace winport_test
