// @brief Scanning the help folder by changing into each folder and listing it.
#include "component/index/folder_scan.h"

#include <vector>

#include "component/index/current_directory.h"
#include "component/toolkit/path_separator.h"
#include "component/toolkit/toolkit_error.h"
#include "winport/win32.h"

namespace {

bool IsDotEntry(const char* sName) {
  return (sName[0] == '.' && sName[1] == '\0') ||
         (sName[0] == '.' && sName[1] == '.' && sName[2] == '\0');
}

void ScanOneFolder(const std::string& sFolder, DocumentSet& docs, bool bSubfolders) {
  if (!SetCurrentDirectoryA(sFolder.c_str())) {
    ThrowLastSystemError();
  }

  std::vector<std::string> subfolders;
  WIN32_FIND_DATAA entry;
  HANDLE hFind = FindFirstFileA("*.*", &entry);
  if (hFind != INVALID_HANDLE_VALUE) {
    do {
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (bSubfolders && !IsDotEntry(entry.cFileName)) {
          subfolders.emplace_back(entry.cFileName);
        }
      } else if (IsHelpPageName(entry.cFileName)) {
        docs.insert(sFolder + kPathSeparatorText + entry.cFileName);
      }
    } while (FindNextFileA(hFind, &entry));
    FindClose(hFind);
  }

  // Last found first; each subfolder only after its parent's listing is closed.
  for (auto it = subfolders.rbegin(); it != subfolders.rend(); ++it) {
    ScanOneFolder(sFolder + kPathSeparatorText + *it, docs, bSubfolders);
  }
}

}  // namespace

std::string LowerCaseCopy(std::string& sText) {
  for (char& c : sText) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return sText;
}

bool IsHelpPageName(const std::string& sName) {
  size_t dot = sName.rfind('.');
  std::string sExtension = dot == std::string::npos ? sName : sName.substr(dot + 1);
  std::string sLowered = LowerCaseCopy(sExtension);
  return sLowered == "htm" || sLowered == "html";
}

void ScanHelpFolder(std::string sFolder, DocumentSet& docs, bool bSubfolders) {
  CurrentDirectoryRestorer restorer;
  ScanOneFolder(sFolder, docs, bSubfolders);
}
