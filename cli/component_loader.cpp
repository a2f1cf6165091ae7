// @brief Component creation: CoCreateInstance, else the module's class object.
#include "cli/component_loader.h"

namespace zvv {
namespace {

typedef HRESULT(STDAPICALLTYPE* DllGetClassObjectFunction)(REFCLSID, REFIID, LPVOID*);

}  // namespace

void ComponentInstance::Release() {
  m_component.Reset();
  m_module.reset();
}

HRESULT ComponentInstance::Create() {
  const HRESULT hr = CoCreateInstance(CLSID_ViveviVadiro, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IViveviVadiro, m_component.PutVoid());
  return hr == REGDB_E_CLASSNOTREG ? CreateFromModule() : hr;
}

HRESULT ComponentInstance::CreateFromModule() {
  auto module = std::make_unique<ComponentModule>();
  HRESULT hr = module->Load();
  if (FAILED(hr)) return hr;
  auto getClassObject = module->Export<DllGetClassObjectFunction>("DllGetClassObject");
  if (!getClassObject) return CO_E_ERRORINDLL;
  winport::ComPtr<IClassFactory> factory;
  hr = getClassObject(CLSID_ViveviVadiro, IID_IClassFactory, factory.PutVoid());
  if (SUCCEEDED(hr)) {
    hr = factory->CreateInstance(nullptr, IID_IViveviVadiro, m_component.PutVoid());
  }
  factory.Reset();
  if (SUCCEEDED(hr)) m_module = std::move(module);
  return hr;
}

}  // namespace zvv
