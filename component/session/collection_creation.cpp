// @brief Building the help collection from nothing: its folders, an indexing
// session, an empty collection and one submission of every help page.
#include "component/com/vivevi_vadiro.h"
#include "component/index/submit_args.h"
#include "component/session/session_args.h"
#include "component/toolkit/failure_texts.h"
#include "component/toolkit/path_separator.h"
#include "component/toolkit/records.h"
#include "component/toolkit/search_request.h"
#include "component/toolkit/toolkit_error.h"
#include "component/toolkit/toolkit_table.h"

namespace {

void MakeFolderIfMissing(const std::string& sFolder) {
  WIN32_FIND_DATAA found;
  HANDLE hFind = FindFirstFileA(sFolder.c_str(), &found);
  if (hFind != INVALID_HANDLE_VALUE) {
    FindClose(hFind);
    return;
  }
  if (!CreateDirectoryA(sFolder.c_str(), nullptr)) {
    ThrowLastSystemError();
  }
}

// A collection folder left behind by an interrupted creation is accepted: the
// create mode replaces whatever unusable collection is in it.
void MakeCollectionFolder(const std::string& sFolder) {
  if (CreateDirectoryA(sFolder.c_str(), nullptr)) {
    return;
  }
  DWORD dwError = GetLastError();
  if (dwError != ERROR_ALREADY_EXISTS) {
    throw ToolkitError(SystemErrorText(dwError));
  }
}

}  // namespace

void ViveviVadiro::CreateCollection() {
  // Only an error of this run may fail this run.
  m_sLastError.clear();
  const ToolkitTable& tk = Toolkit();

  MakeFolderIfMissing(m_sInstallDir + "dizode" + kPathSeparatorText + "collections");
  MakeCollectionFolder(m_sCollectionDir);

  CloseCollectionHandle(m_hCollection);
  CloseSessionHandle(m_hSession);
  TkSessionArgs sessionArgs = MakeSessionArgs(m_sCommonDir, this);
  int32_t nReturn = tk.TkOpenSession(&m_hSession, &sessionArgs);
  if (ToolkitFailed(nReturn)) {
    CloseSessionHandle(m_hSession);
    ThrowToolkitFailure(kSessionCreateFailed, nReturn);
  }

  TkCollectionArgs collectionArgs = MakeCreateCollectionArgs(m_sCollectionPath, m_sStyleDir);
  nReturn = tk.TkOpenCollection(m_hSession, &m_hCollection, &collectionArgs);
  if (ToolkitFailed(nReturn)) {
    CloseCollectionHandle(m_hCollection);
    ThrowToolkitFailure(kCollectionCreateFailed, nReturn);
  }

  SubmitRecord record;
  ScanIntoSubmitArgs(record.Args(), m_sHelpDir, true, kSubmitParam);
  nReturn = tk.TkSubmit(m_hCollection, &record.Args());
  bool bFailed = ToolkitFailed(nReturn) || !m_sLastError.empty();
  std::string sFailure =
      !m_sLastError.empty() ? m_sLastError : ToolkitFailureText(kSubmitFailed, nReturn);
  CloseCollectionHandle(m_hCollection);
  CloseSessionHandle(m_hSession);
  if (bFailed) {
    throw ToolkitError(sFailure);
  }
}
