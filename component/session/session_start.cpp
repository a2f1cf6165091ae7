// @brief Session start-up: open a session and the collection, then update the
// collection, or build it when it does not open.
#include <exception>
#include <string>

#include "component/com/vivevi_vadiro.h"
#include "component/session/rebuild_mark.h"
#include "component/session/session_args.h"
#include "component/toolkit/failure_texts.h"
#include "component/toolkit/toolkit_error.h"
#include "component/ui/progress_dialog.h"
#include "dizode/dizode.h"

namespace {

// Opens a session; on failure leaves it closed and null.
bool OpenSession(ToolkitHandles& handles, const std::string& sCommonDir) {
  return !ToolkitFailed(handles.OpenSession(MakeSessionArgs(sCommonDir, nullptr)));
}

constexpr char kCollectionOpenFailed[] = "Unable to open the Dizode Collection. Dizode error";
constexpr char kNotRebuilt[] = "The help index could not be rebuilt and is searched as it is: ";
constexpr char kNotBuilt[] = "the new one was not built.";

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
  m_sIndexProblem.clear();
  if (!OpenSession(m_handles, m_folders.m_sCommonDir)) {
    return false;
  }

  m_folders.DeriveToolkitFiles();

  // A collection found corrupt after it opened is built again, whether or
  // not opening notices the damage.
  const bool bMarked = IsMarkedForRebuild(m_folders.m_sCollectionDir);
  const int32_t nOpen =
      bMarked ? TK_E_CORRUPT
              : m_handles.OpenCollection(MakeOpenCollectionArgs(m_folders.m_sCollectionPath));
  if (!ToolkitFailed(nOpen)) {
    UpdateAtStartUp(bShowUI);
    return true;
  }
  if (!CollectionNeedsBuilding(nOpen)) {
    ThrowToolkitFailure(kCollectionOpenFailed, nOpen, m_handles.Session());
  }

  bool bResult = true;
  std::exception_ptr failure;
  try {
    if (bShowUI) {
      bResult = PromptAndCreate(this);
    } else {
      CreateCollection();
    }
  } catch (...) {
    bResult = false;
    failure = std::current_exception();
  }
  if (!bResult) {
    // A collection whose build failed is not opened: searches over it would
    // succeed and find nothing. (A build that was declined opened nothing.)
    if (failure || !m_sIndexProblem.empty()) {
      m_handles.Close();
    }
    // The collection it was to replace is still there, and is searched as it
    // is rather than not at all.
    if (bMarked && ReopenCollection()) {
      m_sIndexProblem = kNotRebuilt + (m_sIndexProblem.empty() ? kNotBuilt : m_sIndexProblem);
      return true;
    }
    // Without a dialog the failure and its reason go to the caller.
    if (failure && !bShowUI) {
      std::rethrow_exception(failure);
    }
    return false;
  }

  return ReopenCollection();
}

bool ViveviVadiro::ReopenCollection() {
  m_handles.Close();
  if (!OpenSession(m_handles, m_folders.m_sCommonDir)) {
    return false;
  }
  return OpenCollection(m_handles, m_folders.m_sCollectionPath);
}

void ViveviVadiro::UpdateAtStartUp(bool bShowUI) {
  // A failed update leaves the collection as it was committed, and it is
  // searched so: the reason stays in m_sIndexProblem as a warning, and the
  // next search after a change tries again.
  try {
    if (bShowUI) {
      UpdateWithProgress(this);
    } else {
      UpdateCollection();
    }
  } catch (const std::exception& error) {
    if (m_sIndexProblem.empty()) {
      NoteNotUpdated(error.what());
    }
  } catch (...) {
    if (m_sIndexProblem.empty()) {
      NoteNotUpdated(kUnexpectedFailure);
    }
  }
}
