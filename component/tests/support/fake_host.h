// @brief A fake host application object, published process-wide for as long
// as the FakeHost lives, with scripted answers and failures.
#pragma once

#include <memory>
#include <string>

#include "component/host/host_application.h"

struct FakeHostScript {
  std::u16string sInstallDir = u"/nowhere/";
  bool bInstallDirAsNumber = false;  // answer the install folder with a VT_I4 42
  LONG_PTR nWindow = 0;
  LONG nLeft = 0, nTop = 0, nWidth = 0, nHeight = 0;
  HRESULT hrWindow = S_OK;
  HRESULT hrInstallDir = S_OK;
  HRESULT hrValue = S_OK;
  bool bValueUnconvertible = false;  // answer 153 with a value that has no text
  bool bLacksInterface = false;      // the object answers only IUnknown
  // When set, a failing host-window read leaves an error object with this
  // description, and the object says that it describes its failures.
  std::u16string sWindowError = u"";
};

class FakeHost {
 public:
  explicit FakeHost(FakeHostScript script = {});
  ~FakeHost();
  FakeHost(const FakeHost&) = delete;
  FakeHost& operator=(const FakeHost&) = delete;

  FakeHostScript script;
  int nCreated = 0;           // host objects made
  int nLive = 0;              // host objects not yet released
  LONG nLastValueNumber = 0;  // the number passed to GetValue

 private:
  struct Factory;
  friend class FakeHostObject;
  // Host objects may outlive the FakeHost (a component keeps its host until
  // its teardown): they reach it only through this, cleared when it goes.
  std::shared_ptr<FakeHost*> m_pSelf;
  Factory* m_pFactory;
  DWORD m_dwRegister = 0;
};
