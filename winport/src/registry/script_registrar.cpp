// @brief The registration-script runner object that modules create to
// register their classes.
//
// A whole script runs as one change of the registry file, so a script that
// fails to parse changes nothing and two processes registering at once each
// see the other's keys complete or not at all.
#include "winport/script_registrar.h"

#include <new>
#include <string>

#include "winport/owners.h"
#include "winport/com_object.h"
#include "winport/src/registry/registration_script.h"
#include "winport/src/registry/registry_file.h"
#include "winport/src/registry/registry_objects.h"

namespace winport::registry {
namespace {

std::string Narrow(LPCOLESTR text) {
  if (!text) {
    return std::string();
  }
  size_t length = 0;
  while (text[length]) {
    ++length;
  }
  return OleToUtf8(text, length);
}

// A module loaded for the length of one script run (or found already loaded).
class ModuleForResources {
 public:
  explicit ModuleForResources(const std::string& path) {
    char self[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (n > 0 && path == std::string(self, n)) {
      m_module = GetModuleHandleA(nullptr);
    } else {
      m_module = GetModuleHandleA(path.c_str());
      if (!m_module) {
        m_module = m_loaded = LoadLibraryA(path.c_str());
      }
    }
  }
  ModuleForResources(const ModuleForResources&) = delete;
  ModuleForResources& operator=(const ModuleForResources&) = delete;
  ~ModuleForResources() {
    if (m_loaded) {
      FreeLibrary(m_loaded);
    }
  }
  HMODULE Get() const { return m_module; }

 private:
  HMODULE m_module = nullptr;
  HMODULE m_loaded = nullptr;
};

class ScriptRegistrar final : public ComObject<IScriptRegistrar> {
 public:
  ScriptRegistrar() : ComObject(IID_IScriptRegistrar) {}

  HRESULT STDMETHODCALLTYPE AddReplacement(LPCOLESTR key, LPCOLESTR item) override {
    if (!key || !item) {
      return E_INVALIDARG;
    }
    try {
      m_replacements.emplace_back(Narrow(key), Narrow(item));
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ClearReplacements() override {
    m_replacements.clear();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE ResourceRegisterSz(LPCOLESTR resFileName, LPCOLESTR szID,
                                               LPCOLESTR szType) override {
    if (!szID) {
      return E_INVALIDARG;
    }
    const std::string id = Narrow(szID);
    return RunResource(resFileName, id.c_str(), szType, true);
  }
  HRESULT STDMETHODCALLTYPE ResourceUnregisterSz(LPCOLESTR resFileName, LPCOLESTR szID,
                                                 LPCOLESTR szType) override {
    if (!szID) {
      return E_INVALIDARG;
    }
    const std::string id = Narrow(szID);
    return RunResource(resFileName, id.c_str(), szType, false);
  }
  HRESULT STDMETHODCALLTYPE FileRegister(LPCOLESTR fileName) override {
    return RunFile(fileName, true);
  }
  HRESULT STDMETHODCALLTYPE FileUnregister(LPCOLESTR fileName) override {
    return RunFile(fileName, false);
  }
  HRESULT STDMETHODCALLTYPE StringRegister(LPCOLESTR data) override {
    return data ? RunText(Narrow(data), true) : E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE StringUnregister(LPCOLESTR data) override {
    return data ? RunText(Narrow(data), false) : E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE ResourceRegister(LPCOLESTR resFileName, UINT nID,
                                             LPCOLESTR szType) override {
    return RunResource(resFileName, MAKEINTRESOURCEA(nID), szType, true);
  }
  HRESULT STDMETHODCALLTYPE ResourceUnregister(LPCOLESTR resFileName, UINT nID,
                                               LPCOLESTR szType) override {
    return RunResource(resFileName, MAKEINTRESOURCEA(nID), szType, false);
  }

 private:
  HRESULT RunText(std::string text, bool install) const {
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
      text.erase(0, 3);
    }
    std::vector<ScriptRoot> roots;
    std::string error;
    if (!ParseRegistrationScript(text, m_replacements, &roots, &error)) {
      return DISP_E_EXCEPTION;
    }
    const LONG status = ChangeRegistry([&](Key& top, bool* modified) {
      if (install) {
        RegisterScript(roots, top);
      } else {
        UnregisterScript(roots, top);
      }
      *modified = true;
      return ERROR_SUCCESS;
    });
    return HRESULT_FROM_WIN32(static_cast<ULONG>(status));
  }

  HRESULT RunResource(LPCOLESTR resFileName, LPCSTR id, LPCOLESTR szType, bool install) const {
    if (!resFileName || !szType) {
      return E_INVALIDARG;
    }
    const std::string type = Narrow(szType);
    ModuleForResources module(Narrow(resFileName));
    if (!module.Get()) {
      return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    }
    HRSRC found = FindResourceA(module.Get(), id, type.c_str());
    if (!found) {
      return HRESULT_FROM_WIN32(GetLastError());
    }
    const auto* data = static_cast<const char*>(LockResource(LoadResource(module.Get(), found)));
    const DWORD size = SizeofResource(module.Get(), found);
    if (!data) {
      return E_FAIL;
    }
    return RunText(std::string(data, size), install);
  }

  HRESULT RunFile(LPCOLESTR fileName, bool install) const {
    if (!fileName) {
      return E_INVALIDARG;
    }
    std::string text;
    const std::string path = Narrow(fileName);
    const LONG error = ReadWholeFile(path, &text);
    if (error != ERROR_SUCCESS) {
      return HRESULT_FROM_WIN32(static_cast<ULONG>(error));
    }
    return RunText(std::move(text), install);
  }

  Replacements m_replacements;
};

}  // namespace

HRESULT CreateScriptRegistrar(IUnknown* pUnkOuter, REFIID riid, void** ppv) {
  if (!ppv) {
    return E_POINTER;
  }
  *ppv = nullptr;
  if (pUnkOuter) {
    return CLASS_E_NOAGGREGATION;
  }
  auto* registrar = new (std::nothrow) ScriptRegistrar;
  if (!registrar) {
    return E_OUTOFMEMORY;
  }
  const HRESULT hr = registrar->QueryInterface(riid, ppv);
  registrar->Release();
  return hr;
}

}  // namespace winport::registry
