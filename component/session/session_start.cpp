// @brief Session start-up: open a session and the collection, then update the
// collection, or build it when it does not open.
#include "component/com/vivevi_vadiro.h"
#include "component/session/rebuild_mark.h"
#include "component/session/session_args.h"
#include "component/toolkit/toolkit_error.h"
#include "dizode/dizode.h"
#include "component/ui/progress_dialog.h"

namespace {

// Opens a session; on failure leaves it closed and null.
bool OpenSession(ToolkitHandles& handles, const std::string& sCommonDir) {
  return !ToolkitFailed(handles.OpenSession(MakeSessionArgs(sCommonDir, nullptr)));
}

constexpr char kCollectionOpenFailed[] = "Unable to open the Dizode Collection. Dizode error";

// Opens the existing collection; on failure leaves it null.
bool OpenCollection(ToolkitHandles& handles, const std::string& sCollectionPath) {
  return !ToolkitFailed(handles.OpenCollection(MakeOpenCollectionArgs(sCollectionPath)));
}

// Only a collection that is not there or not usable is built again. Any
// other refusal (a busy or unreadable file, no memory) may pass, and building
// over the collection then would throw away an index that is still good.
bool CollectionNeedsBuilding(int32_t nReturn) {
  const int16_t nStatus = ToolkitStatus(nReturn);
  return nStatus == TK_E_NO_COLLECTION || nStatus == TK_E_CORRUPT;
}

}  // namespace

bool ViveviVadiro::StartSession(bool bShowUI) {
  // A second start-up would otherwise overwrite handles that are still open.
  m_handles.Close();
  if (!OpenSession(m_handles, m_folders.m_sCommonDir)) {
    return false;
  }

  m_folders.DeriveToolkitFiles();

  // A collection found corrupt after it opened is built again, whether or
  // not opening notices the damage.
  const int32_t nOpen =
      IsMarkedForRebuild(m_folders.m_sCollectionDir)
          ? TK_E_CORRUPT
          : m_handles.OpenCollection(MakeOpenCollectionArgs(m_folders.m_sCollectionPath));
  if (!ToolkitFailed(nOpen)) {
    if (bShowUI) {
      UpdateWithProgress(this);
    } else {
      UpdateCollection();
    }
    return true;
  }
  if (!CollectionNeedsBuilding(nOpen)) {
    ThrowToolkitFailure(kCollectionOpenFailed, nOpen, m_handles.Session());
  }

  bool bResult = true;
  try {
    if (bShowUI) {
      bResult = PromptAndCreate(this);
    } else {
      CreateCollection();
    }
  } catch (...) {
    // A collection whose build failed is not opened: searches over it would
    // succeed and find nothing. Without a dialog the failure and its reason
    // go to the caller.
    m_handles.Close();
    if (bShowUI) {
      return false;
    }
    throw;
  }
  if (!bResult) {
    return false;
  }

  m_handles.Close();
  if (!OpenSession(m_handles, m_folders.m_sCommonDir)) {
    return false;
  }
  return OpenCollection(m_handles, m_folders.m_sCollectionPath);
}
