// @brief The registry file: where it is, reading it, and changing it safely
// between processes.
#pragma once

#include <functional>
#include <string>

#include "winport/src/registry/registry_tree.h"

namespace winport::registry {

// ZVV_REGISTRY_FILE when set, else the user's data folder ($XDG_DATA_HOME, else
// ~/.local/share) + "/zovivevivadiro/registry.reg".
std::string RegistryFilePath();

// Reads a whole file; a Windows error code.
[[nodiscard]] LONG ReadWholeFile(const std::string& path, std::string* text);

// Calls read with the tree the file holds now (empty when there is no file).
// Returns read's result, or ERROR_BADDB for a file that is not registry text
// (keys nested deeper than kMaxKeyDepth included).
[[nodiscard]] LONG ReadRegistry(const std::function<LONG(const Key& top)>& read);

// Calls change with the tree under an exclusive lock that every writer takes,
// and writes the tree back when change returns ERROR_SUCCESS having set
// *modified; a change that left keys deeper than kMaxKeyDepth is not written
// (ERROR_BAD_PATHNAME), so the file never holds what it could not be read
// back from. The new text goes to a file beside the old one that is renamed
// over it, so a reader sees the old file or the new one and never a part.
[[nodiscard]] LONG ChangeRegistry(const std::function<LONG(Key& top, bool* modified)>& change);

}  // namespace winport::registry
