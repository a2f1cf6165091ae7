// @brief Code shared by the engine tests: temporary folders with pages, zero-filled
// records, and a session with one collection driven through the exported operations.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dizode/dizode.h"

namespace dizode::testing {

#define ASSERT_TK_OK(expr)                                             \
  do {                                                                 \
    int32_t tk_status_ = (expr);                                       \
    ASSERT_EQ(tk_status_, TK_OK) << #expr << ": " << tk_status_ << " " \
                                 << TkStatusText(tk_status_);          \
  } while (0)

using dizode::MakeRecord;

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return m_path; }
  std::string operator/(const std::string& name) const { return m_path + "/" + name; }

 private:
  std::string m_path;
};

void WriteFile(const std::string& path, const std::string& content);
// The whole file as bytes; empty when it cannot be read.
std::string ReadFile(const std::string& path);
// Writes "<title>title</title>" plus a body, returns the page's path (its key).
std::string WritePage(const TempDir& dir, const std::string& name, const std::string& title,
                      const std::string& body);
// Moves a file's modification time by `seconds` (so a rewrite of equal size is seen).
void ShiftMtime(const std::string& path, int seconds);

// Child processes: a test runs this same program again with a child mode in its environment;
// the program then runs the routine registered for that mode instead of its tests, and ends
// with the routine's result as its exit status.
using ChildRoutine = int (*)(const std::string& argument);
// Call from a namespace-scope initializer.
bool RegisterChild(const char* mode, ChildRoutine routine);
// Runs this program as the child `mode` with `argument`, waits for it and returns whether it
// ended normally with status 0.
bool RunChild(const char* mode, const std::string& argument);

struct Row {
  std::string score, key, title;
  bool operator==(const Row&) const = default;
};

// One session with one collection in `dir`/coll, driven through the exported operations.
class Toolkit {
 public:
  explicit Toolkit(const std::string& collectionPath, int mode = TK_COLLECTION_CREATE,
                   TkProgressCallback callback = nullptr, void* context = nullptr);
  ~Toolkit();
  Toolkit(const Toolkit&) = delete;
  Toolkit& operator=(const Toolkit&) = delete;

  int32_t openStatus() const { return m_openStatus; }
  TkSession session() const { return m_session; }
  TkCollection collection() const { return m_collection; }

  int32_t Submit(uint32_t operation, const std::vector<std::string>& keys);
  // Runs a search (null query: the listing) and reads every row; returns the status.
  int32_t Search(const char* query, std::vector<Row>& rows, int* warnings = nullptr);
  std::vector<Row> List();
  std::vector<std::string> Keys();
  std::vector<std::string> FindKeys(const char* query);

 private:
  TkSession m_session = 0;
  TkCollection m_collection = 0;
  int32_t m_openStatus = TK_OK;
};

}  // namespace dizode::testing
