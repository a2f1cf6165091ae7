// @brief ITypeLib and the type information of its interfaces.
#include "winport/src/registry/type_library.h"

#include <new>
#include <string>
#include <vector>

#include "winport/owners.h"
#include "winport/com_object.h"

namespace winport::registry {
namespace {

HRESULT OutText(const std::string& text, BSTR* out) {
  if (!out) {
    return S_OK;
  }
  *out = Bstr::FromUtf8(text).Detach();
  return *out ? S_OK : E_OUTOFMEMORY;
}

// The GetDocumentation answer: a name and a help string, no help file.
HRESULT OutDocumentation(const std::string& name, const std::string& help, BSTR* pBstrName,
                         BSTR* pBstrDocString, DWORD* pdwHelpContext, BSTR* pBstrHelpFile) {
  if (pdwHelpContext) {
    *pdwHelpContext = 0;
  }
  if (pBstrHelpFile) {
    *pBstrHelpFile = nullptr;
  }
  Bstr nameText;
  HRESULT hr = OutText(name, pBstrName ? nameText.Put() : nullptr);
  if (SUCCEEDED(hr)) {
    hr = OutText(help, pBstrDocString);
  }
  if (SUCCEEDED(hr) && pBstrName) {
    *pBstrName = nameText.Detach();
  }
  return hr;
}

// Type information of one interface: dispatch comes from the static
// description built for it; identity, flags and documentation from the
// definition.
class InterfaceTypeInfo final : public ComObject<ITypeInfo> {
 public:
  InterfaceTypeInfo(ITypeLib* library, UINT index, const IdlInterface& definition,
                    ITypeInfo* dispatch)
      : ComObject(IID_ITypeInfo),
        m_library(library),
        m_index(index),
        m_definition(definition),
        m_dispatch(dispatch) {}

  HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** ppTypeAttr) override {
    const HRESULT hr = m_dispatch->GetTypeAttr(ppTypeAttr);
    if (SUCCEEDED(hr)) {
      (*ppTypeAttr)->guid = m_definition.m_iid;
      (*ppTypeAttr)->wTypeFlags = m_definition.m_typeFlags;
    }
    return hr;
  }
  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp** ppTComp) override {
    return m_dispatch->GetTypeComp(ppTComp);
  }
  HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT index, FUNCDESC** ppFuncDesc) override {
    return m_dispatch->GetFuncDesc(index, ppFuncDesc);
  }
  HRESULT STDMETHODCALLTYPE GetVarDesc(UINT index, VARDESC** ppVarDesc) override {
    return m_dispatch->GetVarDesc(index, ppVarDesc);
  }
  HRESULT STDMETHODCALLTYPE GetNames(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames,
                                     UINT* pcNames) override {
    return m_dispatch->GetNames(memid, rgBstrNames, cMaxNames, pcNames);
  }
  HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT index, HREFTYPE* pRefType) override {
    return m_dispatch->GetRefTypeOfImplType(index, pRefType);
  }
  HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT index, INT* pImplTypeFlags) override {
    return m_dispatch->GetImplTypeFlags(index, pImplTypeFlags);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames,
                                          MEMBERID* pMemId) override {
    return m_dispatch->GetIDsOfNames(rgszNames, cNames, pMemId);
  }
  HRESULT STDMETHODCALLTYPE Invoke(PVOID pvInstance, MEMBERID memid, WORD wFlags,
                                   DISPPARAMS* pDispParams, VARIANT* pVarResult,
                                   EXCEPINFO* pExcepInfo, UINT* puArgErr) override {
    return m_dispatch->Invoke(pvInstance, memid, wFlags, pDispParams, pVarResult, pExcepInfo,
                              puArgErr);
  }
  HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString,
                                             DWORD* pdwHelpContext, BSTR* pBstrHelpFile) override {
    const std::string* name = nullptr;
    const std::string* help = nullptr;
    if (memid == MEMBERID_NIL) {
      name = &m_definition.m_name;
      help = &m_definition.m_help;
    }
    for (const IdlMember& member : m_definition.m_members) {
      if (!name && member.m_id == memid) {
        name = &member.m_name;
        help = &member.m_help;
      }
    }
    if (!name) {
      return TYPE_E_ELEMENTNOTFOUND;
    }
    return OutDocumentation(*name, *help, pBstrName, pBstrDocString, pdwHelpContext, pBstrHelpFile);
  }
  HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID memid, INVOKEKIND invKind, BSTR* pBstrDllName,
                                        BSTR* pBstrName, WORD* pwOrdinal) override {
    return m_dispatch->GetDllEntry(memid, invKind, pBstrDllName, pBstrName, pwOrdinal);
  }
  HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE hRefType, ITypeInfo** ppTInfo) override {
    return m_dispatch->GetRefTypeInfo(hRefType, ppTInfo);
  }
  HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID memid, INVOKEKIND invKind,
                                            PVOID* ppv) override {
    return m_dispatch->AddressOfMember(memid, invKind, ppv);
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid,
                                           PVOID* ppvObj) override {
    return m_dispatch->CreateInstance(pUnkOuter, riid, ppvObj);
  }
  HRESULT STDMETHODCALLTYPE GetMops(MEMBERID memid, BSTR* pBstrMops) override {
    return m_dispatch->GetMops(memid, pBstrMops);
  }
  HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib** ppTLib, UINT* pIndex) override {
    if (!ppTLib) {
      return E_INVALIDARG;
    }
    if (pIndex) {
      *pIndex = m_index;
    }
    return m_library.CopyTo(ppTLib);
  }
  void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* pTypeAttr) override {
    m_dispatch->ReleaseTypeAttr(pTypeAttr);
  }
  void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC* pFuncDesc) override {
    m_dispatch->ReleaseFuncDesc(pFuncDesc);
  }
  void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC* pVarDesc) override {
    m_dispatch->ReleaseVarDesc(pVarDesc);
  }

 private:
  ComPtr<ITypeLib> m_library;
  UINT m_index;
  const IdlInterface& m_definition;  // owned by the library, which this holds
  ComPtr<ITypeInfo> m_dispatch;
};

// The static description of an interface, in the form CreateDispTypeInfo
// reads; the texts live as long as the description.
class InterfaceData {
 public:
  explicit InterfaceData(const IdlInterface& definition) {
    const std::vector<IdlMember>& members = definition.m_members;
    m_names.reserve(members.size());
    m_params.resize(members.size());
    for (size_t i = 0; i < members.size(); ++i) {
      m_names.push_back(Utf8ToOle(members[i].m_name));
      for (const IdlParam& param : members[i].m_params) {
        m_paramNames.push_back(Utf8ToOle(param.m_name));
        m_params[i].push_back(PARAMDATA{nullptr, param.m_vt});
      }
    }
    // Pointers are taken once every text is in place.
    size_t paramName = 0;
    for (size_t i = 0; i < members.size(); ++i) {
      for (PARAMDATA& param : m_params[i]) {
        param.szName = m_paramNames[paramName++].data();
      }
      m_methods.push_back(METHODDATA{m_names[i].data(), m_params[i].data(), members[i].m_id,
                                     static_cast<UINT>(definition.m_firstSlot + i), CC_STDCALL,
                                     static_cast<UINT>(m_params[i].size()), members[i].m_kind,
                                     members[i].m_result});
    }
    m_data = INTERFACEDATA{m_methods.data(), static_cast<UINT>(m_methods.size())};
  }
  INTERFACEDATA* Get() { return &m_data; }

 private:
  std::vector<std::basic_string<OLECHAR>> m_names;
  std::vector<std::basic_string<OLECHAR>> m_paramNames;
  std::vector<std::vector<PARAMDATA>> m_params;
  std::vector<METHODDATA> m_methods;
  INTERFACEDATA m_data{};
};

class TypeLibrary final : public ComObject<ITypeLib> {
 public:
  explicit TypeLibrary(IdlLibrary library)
      : ComObject(IID_ITypeLib), m_library(std::move(library)) {}

  UINT STDMETHODCALLTYPE GetTypeInfoCount() override {
    return static_cast<UINT>(m_library.m_interfaces.size() + m_library.m_classes.size());
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, ITypeInfo** ppTInfo) override {
    if (!ppTInfo) {
      return E_INVALIDARG;
    }
    *ppTInfo = nullptr;
    if (index >= GetTypeInfoCount()) {
      return TYPE_E_ELEMENTNOTFOUND;
    }
    if (index >= m_library.m_interfaces.size()) {
      return E_NOTIMPL;
    }
    const IdlInterface& definition = m_library.m_interfaces[index];
    ComPtr<ITypeInfo> dispatch;
    InterfaceData data(definition);
    HRESULT hr = CreateDispTypeInfo(data.Get(), m_library.m_lcid, dispatch.Put());
    if (FAILED(hr)) {
      return hr;
    }
    auto* info = new (std::nothrow) InterfaceTypeInfo(this, index, definition, dispatch.Get());
    if (!info) {
      return E_OUTOFMEMORY;
    }
    *ppTInfo = info;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoType(UINT index, TYPEKIND* pTKind) override {
    if (!pTKind) {
      return E_INVALIDARG;
    }
    if (index >= GetTypeInfoCount()) {
      return TYPE_E_ELEMENTNOTFOUND;
    }
    *pTKind = index < m_library.m_interfaces.size() ? TKIND_INTERFACE : TKIND_COCLASS;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** ppTinfo) override {
    if (!ppTinfo) {
      return E_INVALIDARG;
    }
    *ppTinfo = nullptr;
    for (size_t i = 0; i < m_library.m_interfaces.size(); ++i) {
      if (IsEqualGUID(m_library.m_interfaces[i].m_iid, guid)) {
        return GetTypeInfo(static_cast<UINT>(i), ppTinfo);
      }
    }
    for (const IdlClass& idlClass : m_library.m_classes) {
      if (IsEqualGUID(idlClass.m_clsid, guid)) {
        return E_NOTIMPL;
      }
    }
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE GetLibAttr(TLIBATTR** ppTLibAttr) override {
    if (!ppTLibAttr) {
      return E_INVALIDARG;
    }
    auto* attr = new (std::nothrow) TLIBATTR{};
    if (!attr) {
      return E_OUTOFMEMORY;
    }
    attr->guid = m_library.m_libid;
    attr->lcid = m_library.m_lcid;
    attr->syskind = SYS_WIN32;
    attr->wMajorVerNum = m_library.m_major;
    attr->wMinorVerNum = m_library.m_minor;
    *ppTLibAttr = attr;
    return S_OK;
  }
  void STDMETHODCALLTYPE ReleaseTLibAttr(TLIBATTR* pTLibAttr) override { delete pTLibAttr; }
  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp** ppTComp) override { return E_NOTIMPL; }

  // index -1 documents the library itself.
  HRESULT STDMETHODCALLTYPE GetDocumentation(INT index, BSTR* pBstrName, BSTR* pBstrDocString,
                                             DWORD* pdwHelpContext, BSTR* pBstrHelpFile) override {
    const std::string* name = &m_library.m_name;
    const std::string* help = &m_library.m_help;
    const size_t interfaces = m_library.m_interfaces.size();
    if (index >= 0 && static_cast<UINT>(index) < interfaces) {
      name = &m_library.m_interfaces[index].m_name;
      help = &m_library.m_interfaces[index].m_help;
    } else if (index >= 0 && static_cast<UINT>(index) < GetTypeInfoCount()) {
      name = &m_library.m_classes[index - interfaces].m_name;
      help = &m_library.m_classes[index - interfaces].m_help;
    } else if (index != -1) {
      return TYPE_E_ELEMENTNOTFOUND;
    }
    return OutDocumentation(*name, *help, pBstrName, pBstrDocString, pdwHelpContext, pBstrHelpFile);
  }
  HRESULT STDMETHODCALLTYPE IsName(LPOLESTR szNameBuf, ULONG lHashVal, BOOL* pfName) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE FindName(LPOLESTR szNameBuf, ULONG lHashVal, ITypeInfo** ppTInfo,
                                     MEMBERID* rgMemId, USHORT* pcFound) override {
    return E_NOTIMPL;
  }

 private:
  const IdlLibrary m_library;
};

}  // namespace

HRESULT CreateTypeLibrary(const IdlLibrary& library, ITypeLib** pptlib) {
  if (!pptlib) {
    return E_INVALIDARG;
  }
  *pptlib = nullptr;
  try {
    *pptlib = new TypeLibrary(library);
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace winport::registry
