// @brief Index status from the Help and collection folders.
#include "cli/serve/index_status.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <optional>
#include <system_error>

#include "cli/app_folder.h"
#include "cli/serve/content_type.h"

namespace zvv {
namespace fs = std::filesystem;
namespace {

// Pages a help commonly opens on, in the order they are preferred.
constexpr const char* kHomePages[] = {"index.htm", "index.html", "default.htm", "default.html"};

std::optional<fs::file_time_type> NewestFileTime(const std::string& folder) {
  std::optional<fs::file_time_type> newest;
  std::error_code error;
  fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
  for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (!it->is_regular_file(error)) continue;
    const fs::file_time_type time = it->last_write_time(error);
    if (!error && (!newest || time > *newest)) newest = time;
  }
  return newest;
}

std::string UtcText(fs::file_time_type time) {
  const auto system = fs::file_time_type::clock::to_sys(time);
  const std::time_t seconds = std::chrono::system_clock::to_time_t(system);
  std::tm parts{};
  gmtime_r(&seconds, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &parts);
  return text;
}

// Counts the help pages below `helpDir` and lists its folders, in one walk.
void ReadHelpFolder(const std::string& helpDir, IndexStatus& status) {
  std::error_code error;
  fs::recursive_directory_iterator it(helpDir, fs::directory_options::skip_permission_denied,
                                      error);
  for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_directory(error)) {
      status.m_folders.push_back(it->path().lexically_relative(helpDir).generic_string());
    } else if (IsHelpPageName(it->path().filename().string())) {
      ++status.m_pages;
    }
  }
  std::sort(status.m_folders.begin(), status.m_folders.end());
}

}  // namespace

IndexStatus ReadIndexStatus(const std::string& installDir, const std::string& helpDir) {
  IndexStatus status;
  if (const auto newest = NewestFileTime(CollectionFolder(installDir))) {
    status.m_updated = UtcText(*newest);
  }
  ReadHelpFolder(helpDir, status);
  for (const char* page : kHomePages) {
    std::error_code error;
    if (fs::is_regular_file(fs::path(helpDir) / page, error)) {
      status.m_home = page;
      break;
    }
  }
  return status;
}

}  // namespace zvv
