// @brief A temporary folder for one test, removed with everything in it.
#pragma once

#include <filesystem>
#include <string>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return m_path; }
  // The folder as an install folder: its path with a trailing separator.
  std::string InstallDir() const { return m_path.string() + "/"; }
  // Writes a file (making its folders) below the temporary folder.
  void Write(const std::string& sRelative, const std::string& sContent = "") const;

 private:
  std::filesystem::path m_path;
};
