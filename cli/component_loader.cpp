// @brief Component creation: CoCreateInstance, else the module's class object.
#include "cli/component_loader.h"

namespace zvv {
namespace {

constexpr char kComponentModule[] = "libZoViveviVadiro.so";

typedef HRESULT(STDAPICALLTYPE* DllGetClassObjectFunction)(REFCLSID, REFIID, LPVOID*);
typedef HRESULT(STDAPICALLTYPE* DllCanUnloadNowFunction)();

template <class Function>
Function ModuleFunction(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

std::string ExecutableFolder() {
  char path[4096];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return {};
  std::string folder(path, length);
  const auto slash = folder.find_last_of('/');
  return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

ComponentInstance::~ComponentInstance() { Release(); }

void ComponentInstance::Release() {
  m_component.Reset();
  HMODULE module = m_module;
  m_module = nullptr;
  if (!module) return;
  // As the runtime would: unload only a module that says nothing of it is in use.
  auto canUnloadNow = ModuleFunction<DllCanUnloadNowFunction>(module, "DllCanUnloadNow");
  if (canUnloadNow && canUnloadNow() == S_OK) FreeLibrary(module);
}

HRESULT ComponentInstance::Create() {
  const HRESULT hr = CoCreateInstance(CLSID_ViveviVadiro, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IViveviVadiro, m_component.PutVoid());
  if (hr != REGDB_E_CLASSNOTREG) return hr;
  const std::string folder = ExecutableFolder();
  if (folder.empty()) return hr;
  return CreateFromModule(folder + kComponentModule);
}

HRESULT ComponentInstance::CreateFromModule(const std::string& modulePath) {
  HMODULE module = LoadLibraryA(modulePath.c_str());
  if (!module) return CO_E_DLLNOTFOUND;
  auto getClassObject = ModuleFunction<DllGetClassObjectFunction>(module, "DllGetClassObject");
  if (!getClassObject) {
    FreeLibrary(module);
    return CO_E_ERRORINDLL;
  }
  winport::ComPtr<IClassFactory> factory;
  HRESULT hr = getClassObject(CLSID_ViveviVadiro, IID_IClassFactory, factory.PutVoid());
  if (SUCCEEDED(hr)) {
    hr = factory->CreateInstance(nullptr, IID_IViveviVadiro, m_component.PutVoid());
  }
  factory.Reset();
  if (FAILED(hr)) {
    FreeLibrary(module);
    return hr;
  }
  m_module = module;
  return S_OK;
}

}  // namespace zvv
