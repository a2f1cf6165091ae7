// @brief Opening and closing the toolkit session and collection.
#include "component/session/toolkit_handles.h"

#include "component/toolkit/toolkit_error.h"
#include "component/toolkit/toolkit_table.h"

int32_t ToolkitHandles::OpenSession(const TkSessionArgs& args) {
  const int32_t nReturn = Toolkit().TkOpenSession(&m_hSession, &args);
  if (ToolkitFailed(nReturn)) {
    CloseSession();
  }
  return nReturn;
}

int32_t ToolkitHandles::OpenCollection(const TkCollectionArgs& args) {
  const int32_t nReturn = Toolkit().TkOpenCollection(m_hSession, &m_hCollection, &args);
  if (ToolkitFailed(nReturn)) {
    CloseCollection();
  }
  return nReturn;
}

void ToolkitHandles::CloseCollection() {
  if (!m_hCollection) {
    return;
  }
  Toolkit().TkCloseCollection(m_hCollection);
  m_hCollection = 0;
}

void ToolkitHandles::CloseSession() {
  if (!m_hSession) {
    return;
  }
  Toolkit().TkCloseSession(m_hSession);
  m_hSession = 0;
}

void ToolkitHandles::Close() {
  CloseCollection();
  CloseSession();
}
