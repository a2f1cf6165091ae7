// Type libraries read from interface definitions, registered and found again.
#include <string>

#include "winport/owners.h"
#include "winport/tests/registry/registry_fixture.h"

namespace winport_test {
namespace {

constexpr char kDefinition[] = R"(// A library with one dual interface.
#include "olectl.h"
import "oaidl.idl";
[
    object,
    uuid(0A0B0C0D-0000-0000-0000-000000000002),
    dual,
    helpstring("IThing Interface"),
    pointer_default(unique)
]
interface IThing : IDispatch
{
    [id(1), helpstring("method Go")] HRESULT Go([in] BSTR sWhere, [in] VARIANT* pHow, [out] VARIANT* pResult);
    [propget, id(2), helpstring("property Level")] HRESULT Level([out, retval] long* pVal);
    [propput, id(2), helpstring("property Level")] HRESULT Level([in] long newVal);
    /* no id: numbered as a compiler would */
    HRESULT Stop(void);
};
[
    uuid(0A0B0C0D-0000-0000-0000-000000000001),
    version(1.2),
    helpstring("Thing 1.2 Type Library")
]
library THINGLib
{
    importlib("stdole2.tlb");
    [uuid(0A0B0C0D-0000-0000-0000-000000000003), helpstring("Thing Class")]
    coclass Thing
    {
        [default] interface IThing;
    };
};
)";

constexpr GUID kLibId = {0x0A0B0C0D, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
constexpr IID kThingId = {0x0A0B0C0D, 0, 0, {0, 0, 0, 0, 0, 0, 0, 2}};

class TypeLibraryTest : public RegistryTest {
 protected:
  void SetUp() override {
    RegistryTest::SetUp();
    m_path = m_folder / "thing.idl";
    WriteFile(m_path, kDefinition);
  }
  std::basic_string<OLECHAR> WidePath() const { return winport::Utf8ToOle(m_path); }
  std::string m_path;
};

TEST_F(TypeLibraryTest, ADefinitionReadsAsALibraryWithDispatchReadyInterfaces) {
  winport::ComPtr<ITypeLib> library;
  ASSERT_HR(S_OK, LoadTypeLib(WidePath().c_str(), library.Put()));
  TLIBATTR* attr = nullptr;
  ASSERT_HR(S_OK, library->GetLibAttr(&attr));
  EXPECT_TRUE(IsEqualGUID(kLibId, attr->guid));
  EXPECT_EQ(1, attr->wMajorVerNum);
  EXPECT_EQ(2, attr->wMinorVerNum);
  library->ReleaseTLibAttr(attr);
  winport::Bstr name, help;
  ASSERT_HR(S_OK, library->GetDocumentation(-1, name.Put(), help.Put(), nullptr, nullptr));
  EXPECT_EQ("THINGLib", name.ToUtf8());
  EXPECT_EQ("Thing 1.2 Type Library", help.ToUtf8());
  ASSERT_EQ(2u, library->GetTypeInfoCount());
  ASSERT_HR(S_OK, library->GetDocumentation(1, name.Put(), help.Put(), nullptr, nullptr));
  EXPECT_EQ("Thing", name.ToUtf8());
  EXPECT_EQ("Thing Class", help.ToUtf8());

  winport::ComPtr<ITypeInfo> info;
  ASSERT_HR(S_OK, library->GetTypeInfoOfGuid(kThingId, info.Put()));
  TYPEATTR* typeAttr = nullptr;
  ASSERT_HR(S_OK, info->GetTypeAttr(&typeAttr));
  EXPECT_TRUE(IsEqualGUID(kThingId, typeAttr->guid));
  EXPECT_TRUE(typeAttr->wTypeFlags & TYPEFLAG_FDUAL);
  EXPECT_EQ(4, typeAttr->cFuncs);
  info->ReleaseTypeAttr(typeAttr);

  struct Expected {
    MEMBERID m_id;
    INVOKEKIND m_kind;
    SHORT m_params;
    VARTYPE m_first;
    SHORT m_slot;
  } const expected[] = {{1, INVOKE_FUNC, 3, VT_BSTR, 7},
                        {2, INVOKE_PROPERTYGET, 1, VT_I4 | VT_BYREF, 8},
                        {2, INVOKE_PROPERTYPUT, 1, VT_I4, 9},
                        {0x60020003, INVOKE_FUNC, 0, VT_EMPTY, 10}};
  for (UINT i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    FUNCDESC* desc = nullptr;
    ASSERT_HR(S_OK, info->GetFuncDesc(i, &desc));
    EXPECT_EQ(expected[i].m_id, desc->memid);
    EXPECT_EQ(expected[i].m_kind, desc->invkind);
    EXPECT_EQ(expected[i].m_params, desc->cParams);
    if (desc->cParams > 0) {
      EXPECT_EQ(expected[i].m_first, desc->lprgelemdescParam[0].tdesc.vt);
    }
    EXPECT_EQ(expected[i].m_slot * static_cast<SHORT>(sizeof(void*)), desc->oVft);
    info->ReleaseFuncDesc(desc);
  }
  OLECHAR go[] = u"GO";
  LPOLESTR names[] = {go};
  MEMBERID id = 0;
  ASSERT_HR(S_OK, info->GetIDsOfNames(names, 1, &id));
  EXPECT_EQ(1, id);
  ASSERT_HR(S_OK, info->GetDocumentation(2, name.Put(), help.Put(), nullptr, nullptr));
  EXPECT_EQ("Level", name.ToUtf8());
  EXPECT_EQ("property Level", help.ToUtf8());
}

TEST_F(TypeLibraryTest, DefinitionsOutsideWhatIsReadDoNotLoad) {
  const char* const faults[] = {
      "library L { };",  // no uuid
      "[uuid(0A0B0C0D-0000-0000-0000-000000000001)] library L { interface I; ",
      "[uuid(1-2)] library L { };",
      "[uuid(0A0B0C0D-0000-0000-0000-000000000002)] interface I : IFoo { };"
      "[uuid(0A0B0C0D-0000-0000-0000-000000000001)] library L { };",
      "[uuid(0A0B0C0D-0000-0000-0000-000000000002)] interface I : IDispatch {"
      " HRESULT F([in] struct S* p); }; [uuid(0A0B0C0D-0000-0000-0000-000000000001)] library L { "
      "};",
      "[uuid(0A0B0C0D-0000-0000-0000-000000000002)] interface I : IDispatch {"
      " HRESULT F([out] long** p); }; [uuid(0A0B0C0D-0000-0000-0000-000000000001)] library L { };",
      "interface I : IDispatch { };",  // no library at all
  };
  for (const char* fault : faults) {
    SCOPED_TRACE(fault);
    WriteFile(m_path, fault);
    winport::ComPtr<ITypeLib> library;
    EXPECT_HR(TYPE_E_CANTLOADLIBRARY, LoadTypeLib(WidePath().c_str(), library.Put()));
    EXPECT_FALSE(library);
  }
  winport::ComPtr<ITypeLib> library;
  EXPECT_HR(TYPE_E_CANTLOADLIBRARY,
            LoadTypeLib(winport::Utf8ToOle(m_folder / "none.tlb").c_str(), library.Put()));
}

TEST_F(TypeLibraryTest, ARegisteredLibraryIsFoundByIdVersionAndLocale) {
  winport::ComPtr<ITypeLib> library;
  EXPECT_HR(TYPE_E_LIBNOTREGISTERED, LoadRegTypeLib(kLibId, 1, 2, 0x409, library.Put()));
  ASSERT_HR(S_OK, LoadTypeLib(WidePath().c_str(), library.Put()));
  ASSERT_HR(S_OK, RegisterTypeLib(library.Get(), WidePath().c_str(), u"/opt/help/"));
  library.Reset();

  const std::string base = "TypeLib\\{0A0B0C0D-0000-0000-0000-000000000001}\\1.2";
  EXPECT_EQ("Thing 1.2 Type Library", Text(base));
  EXPECT_EQ(m_path, Text(base + "\\0\\win32"));
  EXPECT_EQ("/opt/help/", Text(base + "\\HELPDIR"));
  EXPECT_EQ("0", Text(base + "\\FLAGS"));
  const std::string itf = "Interface\\{0A0B0C0D-0000-0000-0000-000000000002}";
  EXPECT_EQ("IThing", Text(itf));
  EXPECT_EQ("{00020424-0000-0000-C000-000000000046}", Text(itf + "\\ProxyStubClsid32"));
  EXPECT_EQ("{0A0B0C0D-0000-0000-0000-000000000001}", Text(itf + "\\TypeLib"));
  EXPECT_EQ("1.2", Text(itf + "\\TypeLib", "Version"));

  // The neutral registration serves any locale, and 1.2 serves a request for 1.0.
  ASSERT_HR(S_OK, LoadRegTypeLib(kLibId, 1, 0, 0x409, library.Put()));
  winport::ComPtr<ITypeInfo> info;
  EXPECT_HR(S_OK, library->GetTypeInfoOfGuid(kThingId, info.Put()));
  EXPECT_HR(TYPE_E_LIBNOTREGISTERED, LoadRegTypeLib(kLibId, 1, 3, 0x409, library.Put()));
  EXPECT_HR(TYPE_E_LIBNOTREGISTERED, LoadRegTypeLib(kLibId, 2, 0, 0x409, library.Put()));
}

}  // namespace
}  // namespace winport_test
