// @brief ToolkitHandles: the toolkit session and the collection opened in it,
// owned together because they must close in one order, collection first.
#pragma once

#include <cstdint>

#include "dizode/dizode.h"

class ToolkitHandles {
 public:
  ToolkitHandles() = default;
  ~ToolkitHandles() { Close(); }
  ToolkitHandles(const ToolkitHandles&) = delete;
  ToolkitHandles& operator=(const ToolkitHandles&) = delete;

  TkSession Session() const { return m_hSession; }
  TkCollection Collection() const { return m_hCollection; }

  // Each returns the toolkit's return value (test it with ToolkitFailed); a
  // refused open leaves its handle closed and null. The session must be closed
  // before it is opened again, the collection likewise.
  [[nodiscard]] int32_t OpenSession(const TkSessionArgs& args);
  [[nodiscard]] int32_t OpenCollection(const TkCollectionArgs& args);

  // Close a handle when it is open and forget it.
  void CloseCollection();
  void CloseSession();
  // The collection, then the session it was opened in.
  void Close();

 private:
  TkSession m_hSession = 0;
  TkCollection m_hCollection = 0;
};
