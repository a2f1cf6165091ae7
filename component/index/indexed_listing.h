// @brief Listing the keys the collection open in a session holds.
#pragma once

#include <cstdint>

#include "component/index/document_set.h"
#include "dizode/dizode.h"

// Adds the key of every document of the collection open in hSession. Returns
// the return value of the first toolkit request that failed, else 0; keys
// are added only when every request succeeded.
int32_t ListIndexedKeys(TkSession hSession, DocumentSet& docs);
