// @brief Scanning the help folder: each folder is listed by its full path, its
// pages taken and its subfolders scanned in turn.
#include "component/index/folder_scan.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "component/index/folder_listing.h"
#include "component/toolkit/path_separator.h"
#include "component/toolkit/system_paths.h"
#include "component/toolkit/toolkit_error.h"

namespace {

// No such folder: a subfolder that went away after its parent was listed
// holds no pages. (ERROR_FILE_NOT_FOUND is a folder without entries.)
bool IsMissing(DWORD dwError) {
  return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND;
}

// Failures that belong to the folder and recur on every scan. Nothing in such
// a folder was ever indexed, so leaving it out deletes nothing.
bool IsBadFolder(DWORD dwError) {
  return dwError == ERROR_CANT_RESOLVE_FILENAME || dwError == ERROR_FILENAME_EXCED_RANGE;
}

std::string WithoutTrailingSpace(std::string sText) {
  while (!sText.empty() && (sText.back() == '\n' || sText.back() == '\r' || sText.back() == ' ')) {
    sText.pop_back();
  }
  return sText;
}

// The folder with every link resolved, or "" when it cannot be resolved.
std::string RealPath(const std::string& sFolder) {
  std::error_code error;
  const std::filesystem::path real = std::filesystem::canonical(FileSystemPath(sFolder), error);
  return error ? std::string() : PathText(real);
}

class FolderScan {
 public:
  FolderScan(DocumentSet& docs, bool bSubfolders, const ScanReport& report)
      : m_docs(docs), m_bSubfolders(bSubfolders), m_report(report) {}

  void Scan(const std::string& sFolder) {
    const std::string sReal = RealPath(sFolder);
    if (!sReal.empty() && std::find(m_chain.begin(), m_chain.end(), sReal) != m_chain.end()) {
      Skip(sFolder, "it leads back to a folder above it");
      return;
    }
    std::vector<FolderEntry> entries;
    const DWORD dwError = ListFolder(sFolder, entries);
    if (dwError != ERROR_SUCCESS && !ListingFailureIsHandled(sFolder, dwError)) {
      throw ToolkitError(SystemErrorText(dwError));
    }
    if (dwError != ERROR_SUCCESS) {
      return;
    }

    std::vector<std::string> subfolders;
    for (const FolderEntry& entry : entries) {
      if (entry.bFolder) {
        if (m_bSubfolders) {
          subfolders.push_back(entry.sName);
        }
      } else if (IsHelpPageName(entry.sName)) {
        m_docs.insert(sFolder + kPathSeparatorText + entry.sName);
      }
    }

    m_chain.push_back(sReal);
    // Last found first.
    for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it) {
      Scan(sFolder + kPathSeparatorText + *it);
    }
    m_chain.pop_back();
  }

 private:
  // True when a failed listing leaves the folder out; false when it must
  // fail the scan. The help folder itself is never left out: one that is
  // missing for a moment (moved away and back, a share not yet mounted) must
  // not read as a folder whose every page was deleted.
  bool ListingFailureIsHandled(const std::string& sFolder, DWORD dwError) {
    if (m_chain.empty()) {
      return dwError == ERROR_FILE_NOT_FOUND;
    }
    if (IsMissing(dwError)) {
      return true;
    }
    if (IsBadFolder(dwError)) {
      Skip(sFolder, WithoutTrailingSpace(SystemErrorText(dwError)));
      return true;
    }
    return false;
  }

  void Skip(const std::string& sFolder, const std::string& sReason) {
    if (m_report) {
      m_report("Skipped " + sFolder + ": " + sReason);
    }
  }

  DocumentSet& m_docs;
  const bool m_bSubfolders;
  const ScanReport& m_report;
  std::vector<std::string> m_chain;  // real paths of the folders being scanned, top first
};

}  // namespace

std::string LowerCaseCopy(std::string& sText) {
  for (char& c : sText) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return sText;
}

// Called for every entry of every scan: compares in place, copying nothing.
bool IsHelpPageName(const std::string& sName) {
  const size_t dot = sName.rfind('.');
  const std::string_view extension =
      dot == std::string::npos ? std::string_view(sName) : std::string_view(sName).substr(dot + 1);
  const auto is = [extension](std::string_view sLower) {
    return std::equal(
        extension.begin(), extension.end(), sLower.begin(), sLower.end(), [](char c, char lower) {
          return (c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) == lower;
        });
  };
  return is("htm") || is("html");
}

void ScanHelpFolder(const std::string& sFolder, DocumentSet& docs, bool bSubfolders,
                    const ScanReport& report) {
  // An empty path would list the root of the file system.
  if (sFolder.empty()) {
    throw ToolkitError(SystemErrorText(ERROR_INVALID_NAME));
  }
  FolderScan(docs, bSubfolders, report).Scan(sFolder);
}
