// @brief The mark that a collection must be built again: left in its folder
// when a search or update finds the collection corrupt after it opened, so
// that the next start-up, in this process or another, builds it again.
#pragma once

#include <string>

void MarkForRebuild(const std::string& sCollectionDir);
bool IsMarkedForRebuild(const std::string& sCollectionDir);
// After a build that completed.
void ClearRebuildMark(const std::string& sCollectionDir);
