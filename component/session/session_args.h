// @brief The session and collection records that start-up and creation fill.
#pragma once

#include <string>

#include "dizode/dizode.h"

class ViveviVadiro;

// A session record with the common folder; with pProgressContext, also the
// indexing progress callback, its context and the message mask 63.
TkSessionArgs MakeSessionArgs(const std::string& sCommonDir, ViveviVadiro* pProgressContext);

// Opening an existing collection: the path and the mode word 35.
TkCollectionArgs MakeOpenCollectionArgs(const std::string& sCollectionPath);

// Creating a collection: the path, the style folder, 11 and the mode word 547.
TkCollectionArgs MakeCreateCollectionArgs(const std::string& sCollectionPath,
                                          const std::string& sStyleDir);
