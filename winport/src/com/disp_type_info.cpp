// Type information built from a static INTERFACEDATA description, and the
// dispatch helpers that use it.
//
// Divergences: the type information describes the interface itself
// (TKIND_INTERFACE) rather than a class around it; a reference parameter is
// reported with its VT_BYREF type instead of VT_PTR to the base type; members
// that only a type library has (type comps, DLL entries, variables) answer
// E_NOTIMPL.

#include <new>
#include <string>
#include <vector>

#include "winport/owners.h"
#include "winport/src/com/disp_member.h"
#include "winport/com_object.h"

namespace winport {
namespace {

// Keeps a wild iMeth from reading far past any real method table.
constexpr UINT kMaxSlot = 1024;

char16_t Fold(char16_t c) {
  if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
  return c;
}

// Names compare without regard to case, as automation names do.
bool SameName(const std::u16string& a, const OLECHAR* b) {
  size_t i = 0;
  for (; i < a.size(); ++i) {
    if (b[i] == 0 || Fold(a[i]) != Fold(b[i])) return false;
  }
  return b[i] == 0;
}

std::u16string Copy(const OLECHAR* text) { return text ? std::u16string(text) : std::u16string(); }

class DispTypeInfo final : public ComObject<ITypeInfo> {
 public:
  DispTypeInfo(std::vector<DispMember> members, LCID lcid)
      : ComObject(IID_ITypeInfo), m_members(std::move(members)), m_lcid(lcid) {}

  HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** ppTypeAttr) override {
    if (!ppTypeAttr) return E_INVALIDARG;
    TYPEATTR* attr = new (std::nothrow) TYPEATTR{};
    if (!attr) return E_OUTOFMEMORY;
    UINT slots = 7;  // IUnknown and IDispatch
    for (const DispMember& m : m_members) slots = m.slot + 1 > slots ? m.slot + 1 : slots;
    attr->guid = GUID_NULL;
    attr->lcid = m_lcid;
    attr->memidConstructor = MEMBERID_NIL;
    attr->memidDestructor = MEMBERID_NIL;
    attr->typekind = TKIND_INTERFACE;
    attr->cFuncs = static_cast<WORD>(m_members.size());
    attr->cbSizeVft = static_cast<WORD>(slots * sizeof(void*));
    attr->cbAlignment = alignof(void*);
    attr->tdescAlias.vt = VT_EMPTY;
    *ppTypeAttr = attr;
    return S_OK;
  }
  void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* pTypeAttr) override { delete pTypeAttr; }

  HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT index, FUNCDESC** ppFuncDesc) override {
    if (!ppFuncDesc) return E_INVALIDARG;
    if (index >= m_members.size()) return TYPE_E_ELEMENTNOTFOUND;
    const DispMember& m = m_members[index];
    FUNCDESC* desc = new (std::nothrow) FUNCDESC{};
    ELEMDESC* params = m.params.empty() ? nullptr : new (std::nothrow) ELEMDESC[m.params.size()]{};
    if (!desc || (!m.params.empty() && !params)) {
      delete desc;
      delete[] params;
      return E_OUTOFMEMORY;
    }
    for (size_t i = 0; i < m.params.size(); ++i) {
      params[i].tdesc.vt = m.params[i].vt;
      params[i].paramdesc.wParamFlags =
          (m.params[i].vt & VT_BYREF) ? PARAMFLAG_FIN | PARAMFLAG_FOUT : PARAMFLAG_FIN;
    }
    desc->memid = m.dispid;
    desc->lprgelemdescParam = params;
    desc->funckind = FUNC_VIRTUAL;
    desc->invkind = static_cast<INVOKEKIND>(m.kind);
    desc->callconv = m.cc;
    desc->cParams = static_cast<SHORT>(m.params.size());
    desc->oVft = static_cast<SHORT>(m.slot * sizeof(void*));
    desc->elemdescFunc.tdesc.vt = m.result;
    *ppFuncDesc = desc;
    return S_OK;
  }
  void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC* pFuncDesc) override {
    if (!pFuncDesc) return;
    delete[] pFuncDesc->lprgelemdescParam;
    delete pFuncDesc;
  }

  HRESULT STDMETHODCALLTYPE GetNames(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames,
                                     UINT* pcNames) override {
    if (!rgBstrNames || !pcNames) return E_INVALIDARG;
    *pcNames = 0;
    const DispMember* m = Find(memid);
    if (!m) return TYPE_E_ELEMENTNOTFOUND;
    std::vector<const std::u16string*> names{&m->name};
    for (const DispParam& p : m->params) names.push_back(&p.name);
    UINT n = 0;
    for (; n < cMaxNames && n < names.size(); ++n) {
      Bstr name(names[n]->data(), static_cast<UINT>(names[n]->size()));
      if (name.IsNull()) {
        for (UINT k = 0; k < n; ++k) SysFreeString(rgBstrNames[k]);
        return E_OUTOFMEMORY;
      }
      rgBstrNames[n] = name.Detach();
    }
    *pcNames = n;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames,
                                          MEMBERID* pMemId) override {
    if (!rgszNames || !pMemId || cNames == 0) return E_INVALIDARG;
    for (UINT i = 0; i < cNames; ++i) pMemId[i] = DISPID_UNKNOWN;
    const DispMember* member = nullptr;
    for (const DispMember& m : m_members) {
      if (rgszNames[0] && SameName(m.name, rgszNames[0])) {
        member = &m;
        break;
      }
    }
    if (!member) return DISP_E_UNKNOWNNAME;
    pMemId[0] = member->dispid;
    // Further names are parameters; their ids are their positions.
    HRESULT hr = S_OK;
    for (UINT i = 1; i < cNames; ++i) {
      for (size_t p = 0; p < member->params.size(); ++p) {
        if (rgszNames[i] && SameName(member->params[p].name, rgszNames[i])) {
          pMemId[i] = static_cast<MEMBERID>(p);
        }
      }
      if (pMemId[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
  }

  HRESULT STDMETHODCALLTYPE Invoke(PVOID pvInstance, MEMBERID memid, WORD wFlags,
                                   DISPPARAMS* pDispParams, VARIANT* pVarResult,
                                   EXCEPINFO* pExcepInfo, UINT* puArgErr) override {
    if (!pvInstance || !pDispParams) return E_INVALIDARG;
    if ((pDispParams->cArgs > 0 && !pDispParams->rgvarg) ||
        pDispParams->cNamedArgs > pDispParams->cArgs) {
      return E_INVALIDARG;
    }
    // A member that exists under this id but not for this kind of call is
    // not found either.
    for (const DispMember& m : m_members) {
      if (m.dispid == memid && (m.kind & wFlags) != 0) {
        return InvokeMember(pvInstance, m, wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
      }
    }
    return DISP_E_MEMBERNOTFOUND;
  }

  HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString,
                                             DWORD* pdwHelpContext, BSTR* pBstrHelpFile) override {
    const DispMember* m = memid == MEMBERID_NIL ? nullptr : Find(memid);
    if (memid != MEMBERID_NIL && !m) return TYPE_E_ELEMENTNOTFOUND;
    if (pBstrName) {
      *pBstrName = m ? Bstr(m->name.data(), static_cast<UINT>(m->name.size())).Detach() : nullptr;
      if (m && !*pBstrName) return E_OUTOFMEMORY;
    }
    if (pBstrDocString) *pBstrDocString = nullptr;
    if (pdwHelpContext) *pdwHelpContext = 0;
    if (pBstrHelpFile) *pBstrHelpFile = nullptr;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp** ppTComp) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetVarDesc(UINT index, VARDESC** ppVarDesc) override {
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT index, HREFTYPE* pRefType) override {
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT index, INT* pImplTypeFlags) override {
    return TYPE_E_ELEMENTNOTFOUND;
  }
  HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID memid, INVOKEKIND invKind, BSTR* pBstrDllName,
                                        BSTR* pBstrName, WORD* pwOrdinal) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE hRefType, ITypeInfo** ppTInfo) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID memid, INVOKEKIND invKind,
                                            PVOID* ppv) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid,
                                           PVOID* ppvObj) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetMops(MEMBERID memid, BSTR* pBstrMops) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib** ppTLib, UINT* pIndex) override {
    return E_NOTIMPL;
  }
  void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC* pVarDesc) override {}

 private:
  const DispMember* Find(MEMBERID memid) const {
    for (const DispMember& m : m_members) {
      if (m.dispid == memid) return &m;
    }
    return nullptr;
  }

  std::vector<DispMember> m_members;
  LCID m_lcid;
};

constexpr WORD kKinds =
    DISPATCH_METHOD | DISPATCH_PROPERTYGET | DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF;

// Copies and checks one METHODDATA.
HRESULT Describe(const METHODDATA& data, DispMember* out) {
  if (!data.szName || data.iMeth >= kMaxSlot || (data.wFlags & kKinds) == 0 ||
      (data.wFlags & ~kKinds) != 0 || (data.cArgs > 0 && !data.ppdata) ||
      !IsCallableResultType(data.vtReturn)) {
    return E_INVALIDARG;
  }
  out->name = Copy(data.szName);
  out->dispid = data.dispid;
  out->slot = data.iMeth;
  out->cc = data.cc;
  out->kind = data.wFlags;
  out->result = data.vtReturn;
  for (UINT i = 0; i < data.cArgs; ++i) {
    if (!IsCallableParamType(data.ppdata[i].vt)) return E_INVALIDARG;
    out->params.push_back(DispParam{Copy(data.ppdata[i].szName), data.ppdata[i].vt});
  }
  return S_OK;
}

}  // namespace
}  // namespace winport

extern "C" HRESULT CreateDispTypeInfo(INTERFACEDATA* pidata, LCID lcid, ITypeInfo** pptinfo) {
  if (!pptinfo) return E_INVALIDARG;
  *pptinfo = nullptr;
  if (!pidata || (pidata->cMembers > 0 && !pidata->pmethdata)) return E_INVALIDARG;
  std::vector<winport::DispMember> members(pidata->cMembers);
  for (UINT i = 0; i < pidata->cMembers; ++i) {
    const HRESULT hr = winport::Describe(pidata->pmethdata[i], &members[i]);
    if (FAILED(hr)) return hr;
  }
  ITypeInfo* info = new (std::nothrow) winport::DispTypeInfo(std::move(members), lcid);
  if (!info) return E_OUTOFMEMORY;
  *pptinfo = info;
  return S_OK;
}

extern "C" HRESULT DispGetIDsOfNames(ITypeInfo* ptinfo, OLECHAR** rgszNames, UINT cNames,
                                     DISPID* rgdispid) {
  if (!ptinfo) return E_INVALIDARG;
  return ptinfo->GetIDsOfNames(rgszNames, cNames, rgdispid);
}

extern "C" HRESULT DispInvoke(void* _this, ITypeInfo* ptinfo, DISPID dispidMember, WORD wFlags,
                              DISPPARAMS* pparams, VARIANT* pvarResult, EXCEPINFO* pexcepinfo,
                              UINT* puArgErr) {
  if (!ptinfo) return E_INVALIDARG;
  return ptinfo->Invoke(_this, dispidMember, wFlags, pparams, pvarResult, pexcepinfo, puArgErr);
}
