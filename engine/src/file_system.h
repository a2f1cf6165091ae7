// @brief What the engine asks of the file system beyond reading and writing files: whether a
// path may be written, and making a rename in a folder durable.
#pragma once

#include <string>

namespace dizode {

// True when this process may write `path` (a file or a folder).
bool MayWrite(const std::string& path);

// Makes a rename in `folder` survive a power cut; best effort, never fails.
void SyncFolder(const std::string& folder) noexcept;

}  // namespace dizode
