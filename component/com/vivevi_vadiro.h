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
  // are open. A ToolkitError of the silent update or of the silent build passes
  // through with its reason; a build that failed leaves nothing open.
  bool StartSession(bool bShowUI);
  // Builds the collection from the help folder; raises a ToolkitError.
  void CreateCollection();

  // --- Index maintenance ------------------------------------------------------
  // Brings the open collection in step with the help folder; raises a
  // ToolkitError (also when no collection is open).
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
  // Runs the update the watcher asked for; the reason it failed, or "".
  std::string RunPendingUpdate();
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
  HWND m_hwndHost = nullptr;
  int32_t m_nDocTotal = 0;

  // Starts at zero: whoever creates the object takes the first reference.
  winport::RefCount m_refs{0};
  Inner m_inner;
  IUnknown* m_pControllingUnknown;
  ErrorInfoSupport m_errorSupport;
};
