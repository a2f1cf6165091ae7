// @brief Class creation through in-process servers registered in the
// registry, and the script registrar that winport itself serves.
//
// CLSID\{...}\InprocServer32 names the module; it is loaded and asked for the
// class object through its DllGetClassObject. The module stays loaded for the
// rest of the process: objects it made may live anywhere.
#include <string>

#include "winport/script_registrar.h"
#include "winport/src/com/inproc_resolver.h"
#include "winport/com_object.h"
#include "winport/src/registry/registry_objects.h"

namespace {

// The registrar's class object: static, so its count only keeps up
// appearances.
class RegistrarFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    return winport::AnswerQueryInterface(this, riid, ppv, {&IID_IClassFactory});
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override {
    return winport::registry::CreateScriptRegistrar(pUnkOuter, riid, ppv);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override { return S_OK; }
};

RegistrarFactory g_registrarFactory;

HRESULT ResolveInprocServer(REFCLSID clsid, REFIID riid, void** ppv) {
  if (IsEqualCLSID(clsid, CLSID_ScriptRegistrar)) {
    return g_registrarFactory.QueryInterface(riid, ppv);
  }
  std::string path;
  const std::string key =
      "HKEY_CLASSES_ROOT\\CLSID\\" + winport::registry::GuidText(clsid) + "\\InprocServer32";
  LONG status = ERROR_SUCCESS;
  if (!winport::registry::ReadDefaultText(key, &path, &status) || path.empty()) {
    // A damaged file is not the same as a class nobody registered: a caller
    // that falls back to loading a module by hand must not hide it.
    return status == ERROR_BADDB ? REGDB_E_READREGDB : REGDB_E_CLASSNOTREG;
  }
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module) {
    return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
  }
  auto getClassObject = reinterpret_cast<LPFNGETCLASSOBJECT>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  if (!getClassObject) {
    FreeLibrary(module);
    return CO_E_ERRORINDLL;
  }
  return getClassObject(clsid, riid, ppv);
}

// Installed when winport loads, before any creation request can run.
const winport::InprocServerResolver g_previous =
    winport::SetInprocServerResolver(&ResolveInprocServer);

}  // namespace
