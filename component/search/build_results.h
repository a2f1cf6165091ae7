// @brief Turning the toolkit's document batch into the rows that Find returns.
#pragma once

#include <string>

#include "dizode/dizode.h"
#include "winport/win32.h"

// Fills element i of psaResults (a vector of VARIANTs, lower bound 0, one
// element per batch document) with the row of batch document i (a vector of
// three BSTRs: score, key, title) when the document's key contains one of the
// folder texts of pSearchDirs, or when pSearchDirs is null; leaves it empty
// otherwise. A document passes at the first folder text in its key: the
// folders after it are not read for it. Returns S_OK, or the first failure:
// E_INVALIDARG for a folder list that is not a one-dimensional
// VT_ARRAY|VT_VARIANT, E_FAIL for a folder that a document reaches and that
// is not a BSTR, else the array's own code.
[[nodiscard]] HRESULT BuildResults(VARIANT* pSearchDirs, SAFEARRAY* psaResults,
                                   const TkDocBatch* pBatch);

// The host's description of a failing code of BuildResults.
std::string FolderListFailureText(HRESULT hr);
