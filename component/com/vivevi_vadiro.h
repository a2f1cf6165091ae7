// @brief ViveviVadiro: the component object, the only state of the component.
//
// One object per host. Every interface call, the teardown, the index work and
// the watcher's start and stop run on the apartment thread that created it;
// the watcher thread only sets m_bRefreshPending.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "component/com/ivivevi_vadiro.h"
#include "component/index/document_set.h"
#include "dizode/dizode.h"
#include "winport/com_object.h"
#include "winport/win32.h"

struct IHostApplication;

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
  // are open. A ToolkitError of the silent update passes through.
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
  bool ScanIntoSubmitArgs(TkSubmitArgs& args, std::string sFolder, bool bSubfolders,
                          uint32_t nParam16);

  // --- Host and watcher -------------------------------------------------------
  // Creates the host application object and derives the folders; a failing
  // host-window read escapes as a ComError.
  void ReadHostSettings();
  // Starts the help-folder watcher (stopping a running one first).
  bool StartWatcher();
  // Stops the watcher and waits for its end; false when none was started.
  bool StopWatcher();

  // --- Fields, in declared order ----------------------------------------------
  TkSession m_hSession = 0;
  TkCollection m_hCollection = 0;
  std::string m_sInstallDir;
  std::string m_sHelpDir;
  std::string m_sCollectionDir;
  std::string m_sCommonDir;
  std::string m_sStyleDir;
  std::string m_sCollectionPath;
  std::string m_sLastError;
  std::atomic<bool> m_bRefreshPending{false};
  bool m_bAutoRefresh = false;
  HANDLE m_hWatcherThread = nullptr;
  HANDLE m_hWatcherMutex = nullptr;
  IHostApplication* m_pHost = nullptr;
  bool m_bShowUI = false;
  DocumentSet m_docs;
  HWND m_hwndHost = nullptr;
  int32_t m_nDocTotal = 0;

 private:
  // Answers for the object itself whether or not it is aggregated.
  struct Inner final : public IUnknown {
    explicit Inner(ViveviVadiro* pOwner) : m_pOwner(pOwner) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    ViveviVadiro* m_pOwner;
  };

  HRESULT Search(BSTR sSearchString, VARIANT* pSearchDirs, LONG bTitleOnly, VARIANT* pResults);
  void RunPendingUpdate();
  void CloseToolkitHandles();
  void Teardown();

  // Starts at zero: whoever creates the object takes the first reference.
  winport::RefCount m_refs{0};
  Inner m_inner;
  IUnknown* m_pControllingUnknown;
};
