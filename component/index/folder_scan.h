// @brief The help folder scan: every .htm and .html page below a folder,
// named by its document key.
#pragma once

#include <functional>
#include <string>

#include "component/index/document_set.h"

// Receives one line for each folder the scan leaves out and goes on without.
using ScanReport = std::function<void(const std::string& sText)>;

// Adds the key (folder, separator, path below it) of every page in sFolder
// and, with bSubfolders, in every folder below it. Folders are listed by
// their full paths; the process's current directory is never changed.
//
// A folder the scan cannot list makes it raise a ToolkitError with the
// system's text, because a scan that went on would look like a folder
// without pages and its pages would be deleted from the index. Two kinds of
// subfolder are left out instead, each reported through report: one that
// leads back to a folder being scanned (a link loop), and one whose listing
// fails for a reason that belongs to the folder itself and comes back on
// every scan (a link that cannot be resolved, a path longer than the system
// allows). A subfolder that does not exist holds no pages; an sFolder that
// does not exist, or is empty, raises.
void ScanHelpFolder(const std::string& sFolder, DocumentSet& docs, bool bSubfolders,
                    const ScanReport& report = nullptr);

// Lowers A to Z in sText in place and returns a copy of the result.
std::string LowerCaseCopy(std::string& sText);

// Whether a file of this name is a help page: the part after its last "."
// (all of a name without one) is "htm" or "html" in any case.
bool IsHelpPageName(const std::string& sName);
