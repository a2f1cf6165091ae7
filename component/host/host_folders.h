// @brief HostFolders: the install folder the host names and the folders and
// files the component derives from it.
#pragma once

#include <string>

struct HostFolders {
  std::string m_sInstallDir;      // as the host names it, with its separator
  std::string m_sHelpDir;         // the help pages
  std::string m_sCollectionDir;   // the collection's own folder
  std::string m_sCommonDir;       // the toolkit's common folder
  std::string m_sStyleDir;        // the toolkit's style file
  std::string m_sCollectionPath;  // the collection's file

  // The install folder and the three folders the host settings name below it.
  void DeriveFromInstallDir(const std::string& sInstallDir);
  // The style and collection files that session start-up names.
  void DeriveToolkitFiles();
};
