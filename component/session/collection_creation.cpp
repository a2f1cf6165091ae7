// @brief Building the help collection from nothing: its folders, an indexing
// session, an empty collection and one submission of every help page.
#include <filesystem>
#include <system_error>

#include "component/com/vivevi_vadiro.h"
#include "component/index/submit_args.h"
#include "component/session/rebuild_mark.h"
#include "component/session/session_args.h"
#include "component/toolkit/failure_texts.h"
#include "component/toolkit/path_separator.h"
#include "component/toolkit/system_paths.h"
#include "component/toolkit/toolkit_error.h"
#include "component/toolkit/toolkit_table.h"
#include "dizode/dizode.h"

namespace {

void MakeFolderIfMissing(const std::string& sFolder) {
  std::error_code error;
  if (std::filesystem::exists(FileSystemPath(sFolder), error)) {
    return;
  }
  if (!CreateFolder(sFolder)) {
    ThrowLastSystemError();
  }
}

// A collection folder left behind by an interrupted creation is accepted: the
// create mode replaces whatever unusable collection is in it.
void MakeCollectionFolder(const std::string& sFolder) {
  if (CreateFolder(sFolder)) {
    return;
  }
  DWORD dwError = GetLastError();
  if (dwError != ERROR_ALREADY_EXISTS) {
    throw ToolkitError(SystemErrorText(dwError));
  }
}

}  // namespace

void ViveviVadiro::CreateCollection() {
  // Kept for Find, which has no collection to search after a failed build
  // and says why.
  try {
    BuildCollection();
  } catch (const std::exception& error) {
    m_sIndexProblem = error.what();
    throw;
  }
}

void ViveviVadiro::BuildCollection() {
  m_sLastError.Clear();

  MakeFolderIfMissing(m_folders.m_sInstallDir + "dizode" + kPathSeparatorText + "collections");
  MakeCollectionFolder(m_folders.m_sCollectionDir);

  m_handles.Close();
  int32_t nReturn = m_handles.OpenSession(MakeSessionArgs(m_folders.m_sCommonDir, this));
  if (ToolkitFailed(nReturn)) {
    ThrowToolkitFailure(kSessionCreateFailed, nReturn);
  }

  nReturn = m_handles.OpenCollection(
      MakeCreateCollectionArgs(m_folders.m_sCollectionPath, m_folders.m_sStyleDir));
  if (ToolkitFailed(nReturn)) {
    ThrowToolkitFailure(kCollectionCreateFailed, nReturn, m_handles.Session());
  }

  SubmitRecord record;
  ScanIntoSubmitArgs(record, m_folders.m_sHelpDir, true, TK_SUBMIT_PARAM16);
  nReturn = Toolkit().TkSubmit(m_handles.Collection(), &record.Args());
  bool bFailed = ToolkitFailed(nReturn) || !m_sLastError.Empty();
  ToolkitError failure = !m_sLastError.Empty()
                             ? ToolkitError(m_sLastError.Text(), ToolkitStatus(nReturn))
                             : ToolkitFailure(kSubmitFailed, nReturn, m_handles.Session());
  m_handles.Close();
  if (bFailed) {
    throw failure;
  }
  ClearRebuildMark(m_folders.m_sCollectionDir);
}
