// @brief ViveviVadiro: the component object, the only state of the component.
//
// One object per host. Every interface call, the teardown, the index work and
// the watcher's start and stop run on the apartment thread that created it;
// the watcher thread only raises its pending flag.
#pragma once

#include <cstdint>
#include <string>

#include "component/com/ivivevi_vadiro.h"
#include "component/host/error_report.h"
#include "component/host/host_application.h"
#include "component/host/host_folders.h"
#include "component/host/watcher.h"
#include "component/index/document_set.h"
#include "component/index/indexing_error.h"
#include "component/session/toolkit_handles.h"
#include "dizode/dizode.h"
#include "winport/com_object.h"
#include "winport/owners.h"
#include "winport/win32.h"

class SubmitRecord;

class ViveviVadiro final : public IViveviVadiro {
 public:
  // pOuter: the controlling unknown when the object is aggregated, else null.
  explicit ViveviVadiro(IUnknown* pOuter = nullptr);
  ViveviVadiro(const ViveviVadiro&) = delete;
  ViveviVadiro& operator=(const ViveviVadiro&) = delete;
  ~ViveviVadiro();

  // IUnknown: delegates to the controlling unknown.
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IDispatch, through the module's shared type information.
  STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
  STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                             DISPID* rgDispId) override;
  STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                      DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                      UINT* puArgErr) override;
  // IViveviVadiro
  STDMETHODIMP Find(BSTR sSearchString, VARIANT* pSearchDirs, LONG bTitleOnly,
                    VARIANT* pResults) override;
  STDMETHODIMP GetOffsets(BSTR sDocName, VARIANT* pResults) override;
  STDMETHODIMP get_AutoRefresh(LONG* pVal) override;
  STDMETHODIMP put_AutoRefresh(LONG newVal) override;
  STDMETHODIMP Initialize(LONG bShowUI) override;

  // The inner IUnknown: identity and lifetime of the object itself.
  IUnknown* InnerUnknown() { return &m_inner; }

  // --- Session and collection -------------------------------------------------
  // Opens a session and the collection, updating or creating it; true when both
  // are open. An update that fails leaves the collection open as it was, with
  // the reason in IndexProblem(). A ToolkitError of the silent build passes
  // through with its reason; a build that failed leaves nothing open, unless
  // it was to replace a collection that still opens, which is then searched
  // as it is (the reason in IndexProblem()).
  bool StartSession(bool bShowUI);
  // Builds the collection from the help folder; raises a ToolkitError, and
  // keeps its reason in IndexProblem().
  void CreateCollection();

  // --- Index maintenance ------------------------------------------------------
  // Brings the open collection in step with the help folder; raises a
  // ToolkitError (also when no collection is open). A failure leaves the
  // collection open and says why in IndexProblem(), as does a collection that
  // refused the changes because it is read-only.
  void UpdateCollection();
  // Adds the key of every document of the open collection; true when all
  // three toolkit requests succeeded.
  bool ListIndexedDocuments(DocumentSet& docs);
  // Scans sFolder into m_docs, sets m_nDocTotal and fills an add record with
  // every key and nParam16 at offset 16. Raises the scan's ToolkitError.
  bool ScanIntoSubmitArgs(SubmitRecord& record, std::string sFolder, bool bSubfolders,
                          uint32_t nParam16);

  // --- Host and watcher -------------------------------------------------------
  // Creates the host application object and derives the folders; a failing
  // host-window read escapes as a ComError.
  void ReadHostSettings();
  // Starts the help-folder watcher (stopping a running one first).
  bool StartWatcher(FolderWatcher::Arming arming = FolderWatcher::Arming::kBeforeReturn);
  // Stops the watcher and waits for its end; false when none was started.
  bool StopWatcher();

  // --- What the operations own, for the progress callback and tests -------
  const ToolkitHandles& Handles() const { return m_handles; }
  FolderWatcher& Watcher() { return m_watcher; }
  const HostFolders& Folders() const { return m_folders; }
  // Puts folders in place of those the host settings derived.
  void UseFolders(const HostFolders& folders) { m_folders = folders; }
  IndexingError& LastError() { return m_sLastError; }
  IHostApplication* Host() const { return m_pHost.Get(); }
  HWND HostWindow() const { return m_hwndHost; }
  bool ShowsUI() const { return m_bShowUI; }
  // The keys the last update listed, or the last scan found.
  const DocumentSet& Docs() const { return m_docs; }
  // The number of pages the last scan found.
  int32_t DocTotal() const { return m_nDocTotal; }
  // Why the index does not follow the help folder: the last update or build
  // failed, or a read-only index refused it; empty after one that completed.
  const std::string& IndexProblem() const { return m_sIndexProblem; }

 private:
  // Answers for the object itself whether or not it is aggregated.
  struct Inner final : public IUnknown {
    explicit Inner(ViveviVadiro* pOwner) : m_pOwner(pOwner) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    ViveviVadiro* m_pOwner;
  };

  [[nodiscard]] HRESULT Search(BSTR sSearchString, VARIANT* pSearchDirs, LONG bTitleOnly,
                               VARIANT* pResults);
  // Runs the update the watcher asked for; true when one ran.
  bool RunPendingUpdate();
  // Initialize's result once start-up succeeded: S_OK, or S_FALSE with the
  // reason the collection does not follow the help folder.
  HRESULT StartedResult();
  // Opens the collection in a session of its own, closing what is open
  // first; true when both opened.
  bool ReopenCollection();
  // The update of a collection that opened; never raises.
  void UpdateAtStartUp(bool bShowUI);
  // CreateCollection without keeping its reason.
  void BuildCollection();
  // Keeps why the help folder's changes did not reach the index.
  void NoteNotUpdated(const std::string& sReason);
  void Teardown();

  ToolkitHandles m_handles;
  HostFolders m_folders;
  IndexingError m_sLastError;
  FolderWatcher m_watcher;
  bool m_bAutoRefresh = false;
  // The host turned AutoRefresh off itself: Initialize starts no watcher.
  bool m_bWatchingDeclined = false;
  winport::ComPtr<IHostApplication> m_pHost;
  bool m_bShowUI = false;
  DocumentSet m_docs;
  std::string m_sIndexProblem;
  HWND m_hwndHost = nullptr;
  int32_t m_nDocTotal = 0;

  // Starts at zero: whoever creates the object takes the first reference.
  winport::RefCount m_refs{0};
  Inner m_inner;
  IUnknown* m_pControllingUnknown;
  ErrorInfoSupport m_errorSupport;
};
