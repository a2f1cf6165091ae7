// @brief Code shared by the tests that make the file system fail under a collection: batches of
// pages that one word finds, and what a collection answers when opened afresh.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "toolkit_fixture.h"

namespace dizode::testing {

// Writes `count` pages named <word><n>.htm into `dir`, each holding `word` and `fillerWords`
// words of its own (so that the batch grows the index); returns their keys, sorted.
std::vector<std::string> WriteBatch(const TempDir& dir, const std::string& word, int count,
                                    int fillerWords = 10);

// The sorted keys a search for `word` finds in the collection, opened afresh in a session of
// its own; nullopt (with the status in `status`) when the collection does not open or the
// search fails.
std::optional<std::vector<std::string>> FreshFind(const std::string& collection,
                                                  const std::string& word,
                                                  int32_t* status = nullptr);

}  // namespace dizode::testing
