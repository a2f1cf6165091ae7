// @brief The application folder zvv hands to the component, and what lies in it.
#pragma once

#include <cstddef>
#include <string>

namespace zvv {

// The bundled sample application: share/zvv/app beside the executable's
// folder, where both the build folder and an installation hold it. Empty when
// it is missing.
std::string DefaultInstallDir();

// Where zvv found the application folder.
enum class FolderSource { kOption, kEnvironment, kSample };

struct ChosenFolder {
  // In the form InstallDirForHost gives; empty when the sample was wanted and is missing.
  std::string m_installDir;
  FolderSource m_source = FolderSource::kSample;
};

// --install-dir (`option`) when given, else ZVV_INSTALL_DIR when set and not empty, else the
// bundled sample.
ChosenFolder ChooseInstallDir(const std::string& option);

// `folder` made absolute and normal, ending with one separator: the form the
// component appends "Help" and the collection folders to.
std::string InstallDirForHost(const std::string& folder);

// The folders the component derives from an install folder in that form.
std::string HelpFolder(const std::string& installDir);
std::string CollectionFolder(const std::string& installDir);

bool IsFolder(const std::string& path);

// An installed application carries the toolkit's folder, "dizode", in which
// the component makes the collections folder one level at a time. Makes it
// when missing; false when it neither exists nor can be made.
bool EnsureToolkitFolder(const std::string& installDir);

// Pages the component indexes below `helpFolder` (see ListHelpPages).
std::size_t CountHelpPages(const std::string& helpFolder);

// `key` relative to `helpFolder` when it lies below it, else `key` unchanged.
std::string PathInHelp(const std::string& key, const std::string& helpFolder);

}  // namespace zvv
