// @brief Bounded page reads and file stamps, by UTF-8 path on every platform.
#include "page_file.h"

// The hash is compiled in from the header alone: nothing to link, on any platform.
#define XXH_INLINE_ALL
#include <xxhash.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#ifdef _WIN32
#include "wide_path.h"
#endif

namespace dizode {
namespace {

namespace fs = std::filesystem;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Paths are UTF-8; Windows' narrow file functions would read them in the local code page.
std::FILE* OpenForReading(const std::string& path) {
#ifdef _WIN32
  return _wfopen(WidePath(path).c_str(), L"rb");
#else
  return std::fopen(path.c_str(), "rb");
#endif
}

}  // namespace

#ifndef _WIN32
// Windows' stamps come from the system's own listing (folder_stats_win.cpp): the standard
// library there reads file times in whole seconds, which would never match a listing's.
std::optional<FileStamp> StampOf(const std::string& path) {
  std::error_code error;
  // file_size refuses folders and other non-files, so it doubles as the regular-file check.
  uintmax_t size = fs::file_size(path, error);
  if (error) return std::nullopt;
  fs::file_time_type mtime = fs::last_write_time(path, error);
  if (error) return std::nullopt;
  auto unixTime = std::chrono::file_clock::to_sys(mtime);
  return FileStamp{
      static_cast<int64_t>(size),
      std::chrono::duration_cast<std::chrono::nanoseconds>(unixTime.time_since_epoch()).count()};
}
#endif

PageFile ReadPageFile(const std::string& path, size_t maxBytes) {
  PageFile page;
  std::optional<FileStamp> stamp = StampOf(path);
  if (!stamp) {
    std::error_code error;
    page.error = fs::is_directory(path, error) ? "not a regular file" : "no such file";
    return page;
  }
  std::unique_ptr<std::FILE, FileCloser> file(OpenForReading(path));
  if (!file) {
    const int error = errno;
    page.error = std::strerror(error);
    page.transient = error == EMFILE || error == ENFILE || error == ENOMEM;
    return page;
  }
  size_t want = std::min<size_t>(static_cast<size_t>(stamp->size), maxBytes);
  page.bytes.resize(want);
  size_t got = std::fread(page.bytes.data(), 1, want, file.get());
  if (got < want && std::ferror(file.get())) {
    page.error = std::strerror(errno);
    page.bytes.clear();
    return page;
  }
  page.bytes.resize(got);  // the file may have shrunk while we read it
  page.stamp = *stamp;
  return page;
}

uint64_t ContentHash(std::string_view bytes) { return XXH3_64bits(bytes.data(), bytes.size()); }

std::string_view FileNameOf(std::string_view path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace dizode
