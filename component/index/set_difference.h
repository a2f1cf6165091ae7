// @brief The keys of one DocumentSet that another lacks.
#pragma once

#include "component/index/document_set.h"

// Adds to out every key of first that second does not hold, walking both sets
// once in their common byte-wise order.
void SetDifference(const DocumentSet& first, const DocumentSet& second, DocumentSet& out);
