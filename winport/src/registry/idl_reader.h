// @brief Interface definitions read as a type library.
//
// The type library of a module on this platform is its interface definition
// text, the same file the Windows build compiles. What is read: the library
// (uuid, version, lcid, helpstring), interfaces (uuid, helpstring, dual,
// oleautomation, the base IUnknown or IDispatch, members with id, propget,
// propput, propputref, helpstring and parameters with in, out, retval) and
// classes (uuid, helpstring, their interfaces and the [default] one).
// import, importlib and preprocessor lines are skipped. Parameter types: the
// automation types (BSTR, VARIANT, VARIANT_BOOL, long, int, short, double,
// float, DATE, CURRENCY, BYTE, HRESULT, IUnknown*, IDispatch*), each with at
// most one further "*" for a reference.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "winport/win32.h"

namespace winport::registry {

struct IdlParam {
  std::string m_name;
  VARTYPE m_vt = VT_EMPTY;
  bool m_out = false;
  bool m_retval = false;
};

struct IdlMember {
  std::string m_name;
  DISPID m_id = 0;
  WORD m_kind = DISPATCH_METHOD;  // or DISPATCH_PROPERTYGET / PUT / PUTREF
  VARTYPE m_result = VT_HRESULT;
  std::string m_help;
  std::vector<IdlParam> m_params;
};

struct IdlInterface {
  std::string m_name;
  GUID m_iid = GUID_NULL;
  std::string m_help;
  WORD m_typeFlags = 0;
  UINT m_firstSlot = 7;  // 3 after IUnknown, 7 after IDispatch
  std::vector<IdlMember> m_members;
};

struct IdlClass {
  std::string m_name;
  GUID m_clsid = GUID_NULL;
  std::string m_help;
  std::string m_defaultInterface;
};

struct IdlLibrary {
  std::string m_name;
  GUID m_libid = GUID_NULL;
  WORD m_major = 0;
  WORD m_minor = 0;
  LCID m_lcid = 0;
  std::string m_help;
  std::vector<IdlInterface> m_interfaces;  // every interface the text defines
  std::vector<IdlClass> m_classes;
};

// False with a message naming the line for text outside what is read.
bool ReadIdl(std::string_view text, IdlLibrary* library, std::string* error);

}  // namespace winport::registry
