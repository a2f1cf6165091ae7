// @brief Listing the Help folder's pages.
#include "cli/help_pages.h"

#include <chrono>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace zvv {
namespace {

bool IsPageName(const std::string& name) {
  const auto dot = name.find_last_of('.');
  std::string extension = dot == std::string::npos ? name : name.substr(dot + 1);
  for (char& c : extension) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  return extension == "htm" || extension == "html";
}

PageStamp StampOf(const fs::directory_entry& entry) {
  std::error_code error;
  const auto size = entry.file_size(error);
  if (error) return kUnknownStamp;
  const auto written = entry.last_write_time(error);
  if (error) return kUnknownStamp;
  const auto since1970 = std::chrono::file_clock::to_sys(written).time_since_epoch();
  return {static_cast<std::int64_t>(size),
          std::chrono::duration_cast<std::chrono::nanoseconds>(since1970).count()};
}

}  // namespace

PageStamps ListHelpPages(const std::string& helpFolder) {
  PageStamps pages;
  std::error_code error;
  fs::recursive_directory_iterator it(helpFolder, fs::directory_options::skip_permission_denied,
                                      error);
  for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_directory(error)) continue;
    if (!IsPageName(it->path().filename().string())) continue;
    pages[helpFolder + '/' + it->path().lexically_relative(helpFolder).generic_string()] =
        StampOf(*it);
  }
  return pages;
}

}  // namespace zvv
