// @brief Application folder paths.
#include "cli/app_folder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "cli/component_module.h"

namespace fs = std::filesystem;

namespace zvv {
namespace {

// Beside the executable's folder: the build links the sample there, and an
// installation puts it there.
constexpr char kSampleApp[] = "share/zvv/app";

bool HasHelp(const fs::path& app) {
  std::error_code error;
  return fs::is_directory(app / "Help", error);
}

std::string LowerAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; });
  return text;
}

}  // namespace

std::string DefaultInstallDir() {
  const std::string exeFolder = ExecutableFolder();
  if (exeFolder.empty()) return {};
  const fs::path app = fs::path(exeFolder).parent_path().parent_path() / kSampleApp;
  if (!HasHelp(app)) return {};
  // The sample's own folder, not the link to it, is the one zvv reports and
  // indexes in.
  std::error_code error;
  const fs::path real = fs::weakly_canonical(app, error);
  return InstallDirForHost((error ? app : real).string());
}

std::string InstallDirForHost(const std::string& folder) {
  std::error_code error;
  fs::path path = fs::absolute(folder, error);
  if (error) path = folder;
  std::string text = path.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text == "/" ? text : text + '/';
}

std::string HelpFolder(const std::string& installDir) { return installDir + "Help"; }

std::string CollectionFolder(const std::string& installDir) {
  return installDir + "dizode/collections/Searchable Help";
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return fs::is_directory(path, error);
}

bool EnsureToolkitFolder(const std::string& installDir) {
  std::error_code error;
  fs::create_directory(installDir + "dizode", error);
  return IsFolder(installDir + "dizode");
}

std::size_t CountHelpPages(const std::string& helpFolder) {
  std::size_t pages = 0;
  std::error_code error;
  fs::recursive_directory_iterator it(helpFolder, fs::directory_options::skip_permission_denied,
                                      error);
  for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_directory(error)) continue;
    // A name without a dot is all extension, as the component reads it.
    const std::string name = it->path().filename().string();
    const auto dot = name.find_last_of('.');
    const std::string extension =
        LowerAscii(dot == std::string::npos ? name : name.substr(dot + 1));
    if (extension == "htm" || extension == "html") ++pages;
  }
  return pages;
}

std::string PathInHelp(const std::string& key, const std::string& helpFolder) {
  const std::string prefix = helpFolder + '/';
  return key.rfind(prefix, 0) == 0 ? key.substr(prefix.size()) : key;
}

}  // namespace zvv
