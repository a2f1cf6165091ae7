// @brief Application folder paths.
#include "cli/app_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "cli/component_module.h"
#include "cli/help_pages.h"

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

ChosenFolder ChooseInstallDir(const std::string& option) {
  if (!option.empty()) return {InstallDirForHost(option), FolderSource::kOption};
  const char* environment = std::getenv("ZVV_INSTALL_DIR");
  if (environment && *environment) {
    return {InstallDirForHost(environment), FolderSource::kEnvironment};
  }
  return {DefaultInstallDir(), FolderSource::kSample};
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
  return ListHelpPages(helpFolder).size();
}

std::string PathInHelp(const std::string& key, const std::string& helpFolder) {
  const std::string prefix = helpFolder + '/';
  return key.rfind(prefix, 0) == 0 ? key.substr(prefix.size()) : key;
}

}  // namespace zvv
