// @brief The help folder scan: every .htm and .html page below a folder,
// named by its document key.
#pragma once

#include <string>

#include "component/index/document_set.h"

// Adds the key (folder, separator, path below it) of every page in sFolder
// and, with bSubfolders, in every folder below it. Raises a ToolkitError with
// the system's text when a folder cannot be entered. The process's current
// directory is the same afterwards as before, on failure too.
void ScanHelpFolder(std::string sFolder, DocumentSet& docs, bool bSubfolders);

// Lowers A to Z in sText in place and returns a copy of the result.
std::string LowerCaseCopy(std::string& sText);

// Whether a file of this name is a help page: the part after its last "."
// (all of a name without one) is "htm" or "html" in any case.
bool IsHelpPageName(const std::string& sName);
