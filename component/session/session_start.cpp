// @brief Session start-up: open a session and the collection, then update the
// collection, or build it when it does not open.
#include "component/com/vivevi_vadiro.h"
#include "component/session/session_args.h"
#include "component/toolkit/path_separator.h"
#include "component/toolkit/search_request.h"
#include "component/toolkit/toolkit_error.h"
#include "component/toolkit/toolkit_table.h"
#include "component/ui/progress_dialog.h"

namespace {

// Opens a session into hSession; on failure leaves it closed and null.
bool OpenSession(TkSession& hSession, const std::string& sCommonDir) {
  TkSessionArgs args = MakeSessionArgs(sCommonDir, nullptr);
  if (!ToolkitFailed(Toolkit().TkOpenSession(&hSession, &args))) {
    return true;
  }
  CloseSessionHandle(hSession);
  return false;
}

// Opens the existing collection; on failure leaves hCollection null.
bool OpenCollection(TkSession hSession, TkCollection& hCollection,
                    const std::string& sCollectionPath) {
  TkCollectionArgs args = MakeOpenCollectionArgs(sCollectionPath);
  if (!ToolkitFailed(Toolkit().TkOpenCollection(hSession, &hCollection, &args))) {
    return true;
  }
  CloseCollectionHandle(hCollection);
  return false;
}

}  // namespace

bool ViveviVadiro::StartSession(bool bShowUI) {
  // A second start-up would otherwise overwrite handles that are still open.
  CloseToolkitHandles();
  if (!OpenSession(m_hSession, m_sCommonDir)) {
    return false;
  }

  m_sStyleDir = m_sInstallDir + "dizode" + kPathSeparatorText + "common" + kPathSeparatorText +
                "style" + kPathSeparatorText + "file";
  m_sCollectionPath = m_sCollectionDir + kPathSeparatorText + "file";

  if (OpenCollection(m_hSession, m_hCollection, m_sCollectionPath)) {
    if (bShowUI) {
      UpdateWithProgress(this);
    } else {
      UpdateCollection();
    }
    return true;
  }

  bool bResult = true;
  try {
    if (bShowUI) {
      bResult = PromptAndCreate(this);
    } else {
      CreateCollection();
    }
  } catch (const ToolkitError&) {
    // Without a dialog a partly filled collection is still opened below; the
    // next update completes it.
  } catch (...) {
    bResult = false;
  }
  if (!bResult) {
    return false;
  }

  // A failed creation may have left its own session and collection open.
  CloseToolkitHandles();
  if (!OpenSession(m_hSession, m_sCommonDir)) {
    return false;
  }
  return OpenCollection(m_hSession, m_hCollection, m_sCollectionPath);
}
