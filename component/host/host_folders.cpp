// @brief Deriving the component's folders from the install folder.
#include "component/host/host_folders.h"

#include "component/toolkit/path_separator.h"

void HostFolders::DeriveFromInstallDir(const std::string& sInstallDir) {
  m_sInstallDir = sInstallDir;
  m_sHelpDir = m_sInstallDir + "Help";
  m_sCollectionDir = m_sInstallDir + "dizode" + kPathSeparatorText + "collections" +
                     kPathSeparatorText + "Searchable Help";
  m_sCommonDir = m_sInstallDir + kPathSeparatorText + "dizode" + kPathSeparatorText + "common";
}

void HostFolders::DeriveToolkitFiles() {
  m_sStyleDir = m_sInstallDir + "dizode" + kPathSeparatorText + "common" + kPathSeparatorText +
                "style" + kPathSeparatorText + "file";
  m_sCollectionPath = m_sCollectionDir + kPathSeparatorText + "file";
}
