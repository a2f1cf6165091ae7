// @brief Code shared by the tests that make the file system fail under a collection.
#include "fault_fixture.h"

#include <algorithm>

namespace dizode::testing {

std::vector<std::string> WriteBatch(const TempDir& dir, const std::string& word, int count,
                                    int fillerWords) {
  std::vector<std::string> keys;
  for (int n = 0; n < count; ++n) {
    std::string body = word;
    for (int w = 0; w < fillerWords; ++w) {
      body += " " + word + "x" + std::to_string(n) + "y" + std::to_string(w);
    }
    keys.push_back(WritePage(dir, word + std::to_string(n) + ".htm", word, body));
  }
  std::sort(keys.begin(), keys.end());
  return keys;
}

std::optional<std::vector<std::string>> FreshFind(const std::string& collection,
                                                  const std::string& word, int32_t* status) {
  Toolkit toolkit(collection, TK_COLLECTION_OPEN);
  int32_t result = toolkit.openStatus();
  std::vector<Row> rows;
  if (result == TK_OK) result = toolkit.Search(word.c_str(), rows);
  if (status) *status = result;
  if (result != TK_OK) return std::nullopt;
  std::vector<std::string> keys;
  for (const Row& row : rows) keys.push_back(row.key);
  std::sort(keys.begin(), keys.end());
  return keys;
}

}  // namespace dizode::testing
