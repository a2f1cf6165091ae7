// @brief Reading a page from disk: its bytes (bounded), size, modification time and hash.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace dizode {

struct FileStamp {
  int64_t size = -1;
  int64_t mtime = -1;  // nanoseconds since the epoch
  bool operator==(const FileStamp&) const = default;
};

// The stamp of a regular file, or nullopt when it cannot be examined or is not a file.
std::optional<FileStamp> StampOf(const std::string& path);

struct PageFile {
  FileStamp stamp;    // size -1 and mtime -1 when the page could not be read
  std::string bytes;  // at most `maxBytes`
  std::string error;  // empty when read
  // The failure lies with this process (out of descriptors or memory), not with the page:
  // the page may read fine a moment later, so it must not be stored as unreadable.
  bool transient = false;
};

PageFile ReadPageFile(const std::string& path, size_t maxBytes);

// 64-bit XXH3 of the bytes: cheap, and enough to tell whether content changed.
uint64_t ContentHash(std::string_view bytes);

// The last component of a path.
std::string_view FileNameOf(std::string_view path);

}  // namespace dizode
