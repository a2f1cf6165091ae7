// @brief The callback through which the toolkit reports indexing progress.
#pragma once

#include <cstdint>
#include <string>

#include "dizode/dizode.h"

// pContext is the component object. Sorts each status message by its first
// character: "E..." (but not "Error" itself) records the first error in
// m_sLastError, "D..." shows a count against m_nDocTotal, "I"/"U" only step
// the bar, anything else is shown as it stands. Every message steps the bar
// once. The display steps do nothing while no progress dialog is showing.
extern "C" void IndexingProgressCallback(void* pContext, const TkStatusMessage* pMessage);

// The count line for a count message: the text before its first "(" (all of
// it when there is none), " of " and the total.
std::string CountLineText(const std::string& sMessage, int32_t nTotal);
