// @brief The application folder zvv hands to the component, and what lies in it.
#pragma once

#include <cstddef>
#include <string>

namespace zvv {

// The bundled sample application: share/zvv/app beside the executable's
// folder, where both the build folder and an installation hold it. Empty when
// it is missing.
std::string DefaultInstallDir();

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

// Pages the component indexes: files anywhere below `helpFolder` whose
// extension is "htm" or "html" in any letter case.
std::size_t CountHelpPages(const std::string& helpFolder);

// `key` relative to `helpFolder` when it lies below it, else `key` unchanged.
std::string PathInHelp(const std::string& key, const std::string& helpFolder);

}  // namespace zvv
