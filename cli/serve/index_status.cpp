// @brief Index status from the Help and collection folders.
#include "cli/serve/index_status.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "cli/app_folder.h"
#include "cli/index_record.h"

namespace zvv {
namespace fs = std::filesystem;
namespace {

// Pages a help commonly opens on, in the order they are preferred.
constexpr const char* kHomePages[] = {"index.htm", "index.html", "default.htm", "default.html"};

std::vector<std::string> Subfolders(const std::string& helpDir) {
  std::vector<std::string> folders;
  std::error_code error;
  fs::recursive_directory_iterator it(helpDir, fs::directory_options::skip_permission_denied,
                                      error);
  for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_directory(error)) {
      folders.push_back(it->path().lexically_relative(helpDir).generic_string());
    }
  }
  std::sort(folders.begin(), folders.end());
  return folders;
}

}  // namespace

IndexStatus ReadIndexStatus(const std::string& installDir, const std::string& helpDir) {
  IndexStatus status;
  std::string problem;
  if (const auto record = ReadIndexRecord(CollectionFolder(installDir), problem)) {
    status.m_pages = record->m_pages.size();
    status.m_updated = record->m_updated;
  }
  status.m_folders = Subfolders(helpDir);
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
