// A client in another process finds the registered component by its program
// identifier alone and drives it by member names through IDispatch.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "component/com/ivivevi_vadiro.h"
#include "component/tests/registration/registration_fixture.h"
#include "component/tests/support/fake_host.h"
#include "winport/owners.h"

namespace {

constexpr char kInstallVariable[] = "ZVV_DISPATCH_CHILD_INSTALL";

std::string Page(const std::string& sTitle, const std::string& sBody) {
  return "<html><head><title>" + sTitle + "</title></head><body><p>" + sBody + "</p></body></html>";
}

DISPID IdOf(IDispatch* pDispatch, const char16_t* sName) {
  OLECHAR* names[] = {const_cast<OLECHAR*>(sName)};
  DISPID id = DISPID_UNKNOWN;
  EXPECT_HR(S_OK, pDispatch->GetIDsOfNames(IID_NULL, names, 1, 0x409, &id));
  return id;
}

// The folder filter: a vector of folder texts.
winport::Variant Folders(const std::vector<std::string>& folders) {
  winport::SafeArray psa =
      winport::SafeArray::Vector(VT_VARIANT, 0, static_cast<ULONG>(folders.size()));
  for (LONG i = 0; i < static_cast<LONG>(folders.size()); ++i) {
    winport::Variant folder(winport::Bstr::FromUtf8(folders[i]));
    EXPECT_HR(S_OK, SafeArrayPutElement(psa.Get(), &i, folder.Get()));
  }
  winport::Variant value;
  V_VT(value.Get()) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(value.Get()) = psa.Detach();
  return value;
}

// Calls Find by dispatch id; returns the keys of the rows ("" for an empty
// element), after checking each row is a vector of three texts.
std::vector<std::string> FindKeys(IDispatch* pDispatch, DISPID idFind, const char16_t* sQuery,
                                  const std::vector<std::string>& folders) {
  winport::Variant results;
  winport::Variant dirs = Folders(folders);
  VARIANT args[4];
  // Arguments go last first.
  V_VT(&args[3]) = VT_BSTR;
  winport::Bstr query(sQuery);
  V_BSTR(&args[3]) = query.Get();
  args[2] = *dirs.Get();
  V_VT(&args[1]) = VT_I4;
  V_I4(&args[1]) = 0;
  V_VT(&args[0]) = VT_VARIANT | VT_BYREF;
  V_VARIANTREF(&args[0]) = results.Get();
  DISPPARAMS params = {args, nullptr, 4, 0};
  std::vector<std::string> keys;
  EXPECT_HR(S_OK, pDispatch->Invoke(idFind, IID_NULL, 0x409, DISPATCH_METHOD, &params, nullptr,
                                    nullptr, nullptr));
  if (V_VT(results.Get()) != (VT_ARRAY | VT_VARIANT)) {
    ADD_FAILURE() << "results of type " << V_VT(results.Get());
    return keys;
  }
  SAFEARRAY* psa = V_ARRAY(results.Get());
  LONG nUpper = -1;
  SafeArrayGetUBound(psa, 1, &nUpper);
  for (LONG i = 0; i <= nUpper; ++i) {
    winport::Variant row;
    EXPECT_HR(S_OK, SafeArrayGetElement(psa, &i, row.Put()));
    if (V_VT(row.Get()) == VT_EMPTY) {
      keys.emplace_back();
      continue;
    }
    EXPECT_EQ(VT_ARRAY | VT_VARIANT, V_VT(row.Get()));
    LONG nColumns = -1;
    SafeArrayGetUBound(V_ARRAY(row.Get()), 1, &nColumns);
    EXPECT_EQ(2, nColumns);
    LONG nKey = 1;
    winport::Variant key;
    EXPECT_HR(S_OK, SafeArrayGetElement(V_ARRAY(row.Get()), &nKey, key.Put()));
    EXPECT_EQ(VT_BSTR, V_VT(key.Get()));
    keys.push_back(winport::Bstr(V_BSTR(key.Get())).ToUtf8());
  }
  return keys;
}

HRESULT InvokeLong(IDispatch* pDispatch, DISPID id, WORD wFlags, LONG nValue) {
  VARIANT arg;
  V_VT(&arg) = VT_I4;
  V_I4(&arg) = nValue;
  DISPID idNamed = DISPID_PROPERTYPUT;
  DISPPARAMS params = {&arg, wFlags == DISPATCH_PROPERTYPUT ? &idNamed : nullptr, 1,
                       wFlags == DISPATCH_PROPERTYPUT ? 1u : 0u};
  return pDispatch->Invoke(id, IID_NULL, 0x409, wFlags, &params, nullptr, nullptr, nullptr);
}

LONG GetAutoRefresh(IDispatch* pDispatch, DISPID id) {
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  winport::Variant value;
  EXPECT_HR(S_OK, pDispatch->Invoke(id, IID_NULL, 0x409, DISPATCH_PROPERTYGET, &none, value.Get(),
                                    nullptr, nullptr));
  EXPECT_EQ(VT_I4, V_VT(value.Get()));
  return V_I4(value.Get());
}

// Runs only in the child process that the test below starts.
TEST(DispatchChild, DISABLED_CreatesByProgramIdAndDrivesByName) {
  const char* sInstall = std::getenv(kInstallVariable);
  ASSERT_NE(nullptr, sInstall);
  const std::string sInstallDir = sInstall;
  FakeHost host(
      FakeHostScript{.sInstallDir = std::u16string(sInstallDir.begin(), sInstallDir.end())});

  CLSID clsid = CLSID_NULL;
  ASSERT_HR(S_OK, CLSIDFromProgID(u"Torvane.ViveviVadiro", &clsid));
  EXPECT_TRUE(IsEqualCLSID(CLSID_ViveviVadiro, clsid));
  winport::ComPtr<IDispatch> pDispatch;
  ASSERT_HR(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                   pDispatch.PutVoid()));

  // The object came from the module the registry names.
  const std::string sServer =
      winport_test::KeyText("CLSID\\{E47FE2CC-A57B-11D2-BE8E-00C04F990001}\\InprocServer32");
  EXPECT_NE(nullptr, GetModuleHandleA(sServer.c_str())) << sServer;

  const DISPID idInitialize = IdOf(pDispatch.Get(), u"Initialize");
  const DISPID idFind = IdOf(pDispatch.Get(), u"find");
  const DISPID idAutoRefresh = IdOf(pDispatch.Get(), u"AutoRefresh");
  EXPECT_EQ(kDispIdInitialize, idInitialize);
  EXPECT_EQ(kDispIdFind, idFind);
  EXPECT_EQ(kDispIdAutoRefresh, idAutoRefresh);

  ASSERT_HR(S_OK, InvokeLong(pDispatch.Get(), idInitialize, DISPATCH_METHOD, 0));
  const std::string sHelp = sInstallDir + "Help";
  std::vector<std::string> keys = FindKeys(pDispatch.Get(), idFind, u"walrus", {sHelp});
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ((std::vector<std::string>{sHelp + "/intro.htm", sHelp + "/tags/colour.htm"}), keys);
  // A hit outside the folders leaves an empty element in its place.
  keys = FindKeys(pDispatch.Get(), idFind, u"walrus", {sHelp + "/tags"});
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ((std::vector<std::string>{"", sHelp + "/tags/colour.htm"}), keys);

  EXPECT_EQ(0, GetAutoRefresh(pDispatch.Get(), idAutoRefresh));
  ASSERT_HR(S_OK, InvokeLong(pDispatch.Get(), idAutoRefresh, DISPATCH_PROPERTYPUT, 1));
  EXPECT_EQ(1, GetAutoRefresh(pDispatch.Get(), idAutoRefresh));
  ASSERT_HR(S_OK, InvokeLong(pDispatch.Get(), idAutoRefresh, DISPATCH_PROPERTYPUT, 0));
  EXPECT_EQ(0, GetAutoRefresh(pDispatch.Get(), idAutoRefresh));
}

TEST_F(RegistrationTest, AnotherProcessCreatesByProgramIdAndDrivesByName) {
  ASSERT_HR(S_OK, Call("DllRegisterServer"));
  std::filesystem::create_directories(temp.Path() / "app/dizode/common");
  temp.Write("app/Help/intro.htm", Page("Getting started", "welcome to the walrus manual"));
  temp.Write("app/Help/tags/colour.htm", Page("Colour tags", "paint every walrus blue"));
  temp.Write("app/Help/tags/size.html", Page("Size tags", "measure the penguin"));
  const std::string sInstall = (temp.Path() / "app").string() + "/";
  const std::string sSelf = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string sCommand =
      std::string(kInstallVariable) + "='" + sInstall + "' '" + sSelf +
      "' --gtest_also_run_disabled_tests"
      " --gtest_filter=DispatchChild.DISABLED_CreatesByProgramIdAndDrivesByName";
  EXPECT_EQ(0, std::system(sCommand.c_str()));
}

}  // namespace
