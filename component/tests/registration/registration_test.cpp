// DllRegisterServer and DllUnregisterServer of the built module, and the
// type library it carries.
#include <new>
#include <stdexcept>
#include <string>

#include "component/com/ivivevi_vadiro.h"
#include "component/com/registration.h"
#include "component/com/type_info_holder.h"
#include "component/tests/registration/registration_fixture.h"
#include "winport/com_object.h"
#include "winport/owners.h"
#include "winport/script_registrar.h"

namespace {

using winport_test::KeyExists;
using winport_test::PutKey;

std::string Expected(const std::string& sModule, const std::string& sFolder) {
  const std::string sClass = "[HKEY_CLASSES_ROOT\\CLSID\\{E47FE2CC-A57B-11D2-BE8E-00C04F990001}";
  const std::string sInterface =
      "[HKEY_CLASSES_ROOT\\Interface\\{E47FE2CB-A57B-11D2-BE8E-00C04F990001}";
  const std::string sLibrary =
      "[HKEY_CLASSES_ROOT\\TypeLib\\{E47FE2BC-A57B-11D2-BE8E-00C04F990001}";
  return "Windows Registry Editor Version 5.00\n"
         "\n[HKEY_CLASSES_ROOT]\n"
         "\n[HKEY_CLASSES_ROOT\\CLSID]\n"
         "\n" +
         sClass +
         "]\n@=\"Torvane ViveviVadiro Class\"\n"
         "\n" +
         sClass + "\\InprocServer32]\n@=\"" + sModule +
         "\"\n"
         "\"ThreadingModel\"=\"Apartment\"\n"
         "\n" +
         sClass +
         "\\ProgID]\n@=\"Torvane.ViveviVadiro.1\"\n"
         "\n" +
         sClass +
         "\\Programmable]\n"
         "\n" +
         sClass +
         "\\VersionIndependentProgID]\n@=\"Torvane.ViveviVadiro\"\n"
         "\n[HKEY_CLASSES_ROOT\\Interface]\n"
         "\n" +
         sInterface +
         "]\n@=\"IViveviVadiro\"\n"
         "\n" +
         sInterface +
         "\\ProxyStubClsid]\n@=\"{00020424-0000-0000-C000-000000000046}\"\n"
         "\n" +
         sInterface +
         "\\ProxyStubClsid32]\n@=\"{00020424-0000-0000-C000-000000000046}\"\n"
         "\n" +
         sInterface +
         "\\TypeLib]\n@=\"{E47FE2BC-A57B-11D2-BE8E-00C04F990001}\"\n"
         "\"Version\"=\"1.0\"\n"
         "\n[HKEY_CLASSES_ROOT\\Torvane.ViveviVadiro]\n@=\"Torvane ViveviVadiro Class\"\n"
         "\n[HKEY_CLASSES_ROOT\\Torvane.ViveviVadiro\\CLSID]\n"
         "@=\"{E47FE2CC-A57B-11D2-BE8E-00C04F990001}\"\n"
         "\n[HKEY_CLASSES_ROOT\\Torvane.ViveviVadiro\\CurVer]\n@=\"Torvane.ViveviVadiro.1\"\n"
         "\n[HKEY_CLASSES_ROOT\\Torvane.ViveviVadiro.1]\n@=\"Torvane ViveviVadiro Class\"\n"
         "\n[HKEY_CLASSES_ROOT\\Torvane.ViveviVadiro.1\\CLSID]\n"
         "@=\"{E47FE2CC-A57B-11D2-BE8E-00C04F990001}\"\n"
         "\n[HKEY_CLASSES_ROOT\\TypeLib]\n"
         "\n" +
         sLibrary +
         "]\n"
         "\n" +
         sLibrary +
         "\\1.0]\n@=\"ZoViveviVadiro 1.0 Type Library\"\n"
         "\n" +
         sLibrary +
         "\\1.0\\0]\n"
         "\n" +
         sLibrary + "\\1.0\\0\\win32]\n@=\"" + sModule +
         "\"\n"
         "\n" +
         sLibrary +
         "\\1.0\\FLAGS]\n@=\"0\"\n"
         "\n" +
         sLibrary + "\\1.0\\HELPDIR]\n@=\"" + sFolder + "\"\n";
}

constexpr char kClassKey[] = "CLSID\\{E47FE2CC-A57B-11D2-BE8E-00C04F990001}";

TEST_F(RegistrationTest, RegisteringWritesTheClassProgramIdsAndTypeLibrary) {
  ASSERT_HR(S_OK, Call("DllRegisterServer"));
  const std::string sFolder = sModulePath.substr(0, sModulePath.rfind('/') + 1);
  EXPECT_EQ(Expected(sModulePath, sFolder), RegistryText());
  // Registering again changes nothing.
  ASSERT_HR(S_OK, Call("DllRegisterServer"));
  EXPECT_EQ(Expected(sModulePath, sFolder), RegistryText());
}

TEST_F(RegistrationTest, RegisteringOverAStaleClassKeyLeavesNothingOfIt) {
  ASSERT_TRUE(PutKey(std::string(kClassKey) + "\\LocalServer32"));
  ASSERT_HR(S_OK, Call("DllRegisterServer"));
  EXPECT_FALSE(KeyExists(std::string(kClassKey) + "\\LocalServer32"));
  EXPECT_TRUE(KeyExists(std::string(kClassKey) + "\\InprocServer32"));
}

TEST_F(RegistrationTest, UnregisteringKeepsTheClassFolderAndTheTypeLibrary) {
  ASSERT_TRUE(PutKey("CLSID\\{Another}"));
  ASSERT_HR(S_OK, Call("DllRegisterServer"));
  EXPECT_HR(S_OK, Call("DllUnregisterServer"));
  EXPECT_TRUE(KeyExists("CLSID"));
  EXPECT_TRUE(KeyExists("CLSID\\{Another}"));
  EXPECT_FALSE(KeyExists(kClassKey));
  EXPECT_FALSE(KeyExists("Torvane.ViveviVadiro\\CLSID"));
  EXPECT_FALSE(KeyExists("Torvane.ViveviVadiro"));
  EXPECT_FALSE(KeyExists("Torvane.ViveviVadiro.1"));
  EXPECT_TRUE(KeyExists("TypeLib\\{E47FE2BC-A57B-11D2-BE8E-00C04F990001}\\1.0\\0\\win32"));
  // Nothing registered is no failure either.
  EXPECT_HR(S_OK, Call("DllUnregisterServer"));
}

// Stands in for the system's registrar, and throws where it would create one:
// a failure deep inside registration that the exports must not let out. It
// lives on the test's stack and counts no references, since a call that
// throws past it never gives back the reference it took.
class ThrowingRegistrarFactory : public IClassFactory {
 public:
  explicit ThrowingRegistrarFactory(bool bOutOfMemory) : m_bOutOfMemory(bOutOfMemory) {}
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    return winport::AnswerQueryInterface(this, riid, ppv, {&IID_IClassFactory});
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown*, REFIID, void**) override {
    if (m_bOutOfMemory) {
      throw std::bad_alloc();
    }
    throw std::runtime_error("registrar broken");
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 private:
  const bool m_bOutOfMemory;
};

TEST_F(RegistrationTest, ExceptionsEndAtTheExportsAsResults) {
  for (const bool bOutOfMemory : {true, false}) {
    SCOPED_TRACE(bOutOfMemory ? "out of memory" : "other exception");
    const HRESULT hrExpected = bOutOfMemory ? E_OUTOFMEMORY : E_UNEXPECTED;
    ThrowingRegistrarFactory factory(bOutOfMemory);
    DWORD nCookie = 0;
    ASSERT_HR(S_OK, CoRegisterClassObject(CLSID_ScriptRegistrar, &factory, CLSCTX_INPROC_SERVER,
                                          REGCLS_MULTIPLEUSE, &nCookie));
    EXPECT_HR(hrExpected, Call("DllRegisterServer"));
    EXPECT_HR(hrExpected, Call("DllUnregisterServer"));
    ASSERT_HR(S_OK, CoRevokeClassObject(nCookie));
  }
  EXPECT_EQ("", RegistryText());
}

TEST_F(RegistrationTest, TheCarriedTypeLibraryDescribesWhatTheStaticTableDoes) {
  winport::ComPtr<ITypeLib> pLibrary;
  ASSERT_HR(S_OK, LoadTypeLib(winport::Utf8ToOle(sModulePath).c_str(), pLibrary.Put()));
  winport::Bstr name, help;
  ASSERT_HR(S_OK, pLibrary->GetDocumentation(-1, name.Put(), help.Put(), nullptr, nullptr));
  EXPECT_EQ("ZOVIVEVIVADIROLib", name.ToUtf8());
  EXPECT_EQ("ZoViveviVadiro 1.0 Type Library", help.ToUtf8());
  winport::ComPtr<ITypeInfo> pFromLibrary, pStatic;
  ASSERT_HR(S_OK, pLibrary->GetTypeInfoOfGuid(IID_IViveviVadiro, pFromLibrary.Put()));
  ASSERT_HR(S_OK, StaticViveviVadiroTypeInfo(0, pStatic.Put()));
  TYPEATTR* pAttr = nullptr;
  ASSERT_HR(S_OK, pStatic->GetTypeAttr(&pAttr));
  const UINT nFuncs = pAttr->cFuncs;
  pStatic->ReleaseTypeAttr(pAttr);
  ASSERT_HR(S_OK, pFromLibrary->GetTypeAttr(&pAttr));
  EXPECT_EQ(nFuncs, pAttr->cFuncs);
  EXPECT_TRUE(pAttr->wTypeFlags & TYPEFLAG_FDUAL);
  pFromLibrary->ReleaseTypeAttr(pAttr);

  for (UINT i = 0; i < nFuncs; ++i) {
    FUNCDESC* pLeft = nullptr;
    FUNCDESC* pRight = nullptr;
    ASSERT_HR(S_OK, pStatic->GetFuncDesc(i, &pLeft));
    ASSERT_HR(S_OK, pFromLibrary->GetFuncDesc(i, &pRight));
    SCOPED_TRACE(pLeft->memid);
    EXPECT_EQ(pLeft->memid, pRight->memid);
    EXPECT_EQ(pLeft->invkind, pRight->invkind);
    EXPECT_EQ(pLeft->oVft, pRight->oVft);
    EXPECT_EQ(pLeft->elemdescFunc.tdesc.vt, pRight->elemdescFunc.tdesc.vt);
    ASSERT_EQ(pLeft->cParams, pRight->cParams);
    for (SHORT p = 0; p < pLeft->cParams; ++p) {
      EXPECT_EQ(pLeft->lprgelemdescParam[p].tdesc.vt, pRight->lprgelemdescParam[p].tdesc.vt);
    }
    BSTR leftNames[8] = {}, rightNames[8] = {};
    UINT nLeft = 0, nRight = 0;
    ASSERT_HR(S_OK, pStatic->GetNames(pLeft->memid, leftNames, 8, &nLeft));
    ASSERT_HR(S_OK, pFromLibrary->GetNames(pRight->memid, rightNames, 8, &nRight));
    ASSERT_EQ(nLeft, nRight);
    for (UINT n = 0; n < nLeft; ++n) {
      EXPECT_EQ(winport::Bstr::Attaching(leftNames[n]).ToUtf8(),
                winport::Bstr::Attaching(rightNames[n]).ToUtf8());
    }
    pStatic->ReleaseFuncDesc(pLeft);
    pFromLibrary->ReleaseFuncDesc(pRight);
  }
}

TEST(RegistrationPaths, TypeLibraryFallbackAndHelpFolder) {
  struct Case {
    const char* sPath;
    const char* sFallback;
    const char* sFolder;
  } const cases[] = {
      {"/opt/app/libZoViveviVadiro.so", "/opt/app/libZoViveviVadiro.tlb", "/opt/app/"},
      {"/opt/app/ZOVIVEVIVADIRO", "/opt/app/ZOVIVEVIVADIRO.tlb", "/opt/app/"},
      {"C:\\Program Files\\App\\ZoViveviVadiro.DLL", "C:\\Program Files\\App\\ZoViveviVadiro.tlb",
       "C:\\Program Files\\App\\"},
      {"C:module.dll", "C:module.tlb", "C:"},
      {"/a.b/module", "/a.tlb", "/a.b/"},  // the last "." wherever it is
      {"module", "module.tlb", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.sFallback, TypeLibraryFallbackPath(c.sPath)) << c.sPath;
    EXPECT_EQ(c.sFolder, HelpFolderOf(c.sPath)) << c.sPath;
  }
}

}  // namespace
