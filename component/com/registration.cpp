// @brief DllRegisterServer and DllUnregisterServer: the registration script
// of each class and the module's type library.
#include "component/com/registration.h"

#include <new>

#include "component/com/ivivevi_vadiro.h"
#include "component/com/module_entry.h"
#include "component/res/resource.h"
#include "component/search/text_conversion.h"
#include "component/toolkit/system_paths.h"
#include "winport/script_registrar.h"

namespace {

// One entry per class of the module; the list ends with a null class id.
struct ClassRegistration {
  const CLSID* m_pClsid;
  UINT m_nScriptId;
};

const ClassRegistration kClassRegistrations[] = {{&CLSID_ViveviVadiro, IDR_VIVEVIVADIRO},
                                                 {nullptr, 0}};

HRESULT ModulePath(HINSTANCE hInstance, std::string* pPath) {
  *pPath = ModuleFileName(hInstance);
  return pPath->empty() ? HRESULT_FROM_WIN32(GetLastError()) : S_OK;
}

// Runs the class's script through the system registrar with %MODULE% set to
// the module's path.
HRESULT UpdateClassRegistry(const ClassRegistration& entry, bool bRegister) {
  if (!Module().m_hInstance) {
    return E_INVALIDARG;
  }
  std::string sModule;
  HRESULT hr = ModulePath(Module().m_hInstance, &sModule);
  if (FAILED(hr)) {
    return hr;
  }
  const WideString sWideModule = NarrowToWide(sModule.c_str());
  IScriptRegistrar* pRegistrar = nullptr;
  hr = CoCreateInstance(CLSID_ScriptRegistrar, nullptr, CLSCTX_INPROC_SERVER, IID_IScriptRegistrar,
                        reinterpret_cast<void**>(&pRegistrar));
  if (FAILED(hr)) {
    return hr;
  }
  hr = pRegistrar->AddReplacement(OLESTR("Module"), sWideModule.c_str());
  if (SUCCEEDED(hr)) {
    hr = bRegister ? pRegistrar->ResourceRegister(sWideModule.c_str(), entry.m_nScriptId,
                                                  OLESTR("REGISTRY"))
                   : pRegistrar->ResourceUnregister(sWideModule.c_str(), entry.m_nScriptId,
                                                    OLESTR("REGISTRY"));
  }
  pRegistrar->Release();
  return hr;
}

HRESULT LoadTypeLibFrom(const std::string& sPath, ITypeLib** ppTypeLib) {
  const WideString sWidePath = NarrowToWide(sPath.c_str());
  return LoadTypeLib(sWidePath.c_str(), ppTypeLib);
}

HRESULT RegisterModuleTypeLibrary() {
  if (!Module().m_hTypeLibInstance) {
    return E_INVALIDARG;
  }
  std::string sPath;
  HRESULT hr = ModulePath(Module().m_hTypeLibInstance, &sPath);
  if (FAILED(hr)) {
    return hr;
  }
  ITypeLib* pTypeLib = nullptr;
  hr = LoadTypeLibFrom(sPath, &pTypeLib);
  if (FAILED(hr)) {
    sPath = TypeLibraryFallbackPath(sPath);
    hr = LoadTypeLibFrom(sPath, &pTypeLib);
    if (FAILED(hr)) {
      return hr;
    }
  }
  // Some system headers take these texts as non-const.
  WideString sWidePath = NarrowToWide(sPath.c_str());
  WideString sHelpDir = NarrowToWide(HelpFolderOf(sPath).c_str());
  hr = RegisterTypeLib(pTypeLib, sWidePath.data(), sHelpDir.data());
  pTypeLib->Release();
  return hr;
}

// Runs an export's body; no exception may leave the module, so each one ends
// here as the HRESULT a caller understands.
template <class Body>
HRESULT CatchAll(Body body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace

// A "." is never the second byte of a double-byte character, so the last one
// found byte by byte is the last one found character by character.
std::string TypeLibraryFallbackPath(const std::string& sModulePath) {
  const size_t nDot = sModulePath.rfind('.');
  return (nDot == std::string::npos ? sModulePath : sModulePath.substr(0, nDot)) + ".tlb";
}

std::string HelpFolderOf(const std::string& sPath) {
  const size_t nCut = sPath.find_last_of("\\/:");
  return nCut == std::string::npos ? std::string() : sPath.substr(0, nCut + 1);
}

ZVV_EXPORT HRESULT STDAPICALLTYPE DllRegisterServer() {
  return CatchAll([] {
    for (const ClassRegistration* pEntry = kClassRegistrations; pEntry->m_pClsid; ++pEntry) {
      const HRESULT hr = UpdateClassRegistry(*pEntry, true);
      if (FAILED(hr)) {
        return hr;
      }
    }
    return RegisterModuleTypeLibrary();
  });
}

// Only the class keys go; the type library's registration is left in place.
ZVV_EXPORT HRESULT STDAPICALLTYPE DllUnregisterServer() {
  return CatchAll([] {
    for (const ClassRegistration* pEntry = kClassRegistrations; pEntry->m_pClsid; ++pEntry) {
      UpdateClassRegistry(*pEntry, false);
    }
    return S_OK;
  });
}
