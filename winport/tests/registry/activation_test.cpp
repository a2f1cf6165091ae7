// Program identifiers and class creation through registered in-process servers.
#include "winport/owners.h"
#include "winport/tests/registry/registry_fixture.h"

namespace winport_test {
namespace {

// {0A0B0C0D-1111-2222-3333-444455556666}
constexpr CLSID kClass = {
    0x0A0B0C0D, 0x1111, 0x2222, {0x33, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x66}};
constexpr char kClassKey[] = "CLSID\\{0A0B0C0D-1111-2222-3333-444455556666}";

using Activation = RegistryTest;

TEST_F(Activation, ProgramIdentifiersFollowCurVer) {
  Put("Demo.Versioned.2\\CLSID", "{0A0B0C0D-1111-2222-3333-444455556666}");
  Put("Demo.Versioned\\CurVer", "Demo.Versioned.2");
  Put("Loop.A\\CurVer", "Loop.B");
  Put("Loop.B\\CurVer", "Loop.A");
  Put("Bad.Clsid\\CLSID", "not a class id");
  struct Case {
    const char16_t* m_progId;
    HRESULT m_result;
  } const cases[] = {{u"Demo.Versioned.2", S_OK},           {u"demo.versioned", S_OK},
                     {u"Not.Registered", CO_E_CLASSSTRING}, {u"Loop.A", CO_E_CLASSSTRING},
                     {u"Bad.Clsid", CO_E_CLASSSTRING},      {u"", CO_E_CLASSSTRING}};
  for (const Case& c : cases) {
    SCOPED_TRACE(winport::OleToUtf8(c.m_progId, std::char_traits<char16_t>::length(c.m_progId)));
    CLSID clsid = kClass;
    EXPECT_HR(c.m_result, CLSIDFromProgID(c.m_progId, &clsid));
    EXPECT_TRUE(IsEqualCLSID(SUCCEEDED(c.m_result) ? kClass : CLSID_NULL, clsid));
  }
  EXPECT_HR(E_INVALIDARG, CLSIDFromProgID(nullptr, nullptr));
}

TEST_F(Activation, CreationReportsWhyAServerCannotServe) {
  winport::ComPtr<IUnknown> object;
  EXPECT_HR(REGDB_E_CLASSNOTREG, CoCreateInstance(kClass, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_IUnknown, object.PutVoid()));
  Put(std::string(kClassKey) + "\\InprocServer32", m_folder / "missing.so");
  EXPECT_HR(
      HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND),
      CoCreateInstance(kClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.PutVoid()));
  // A loadable module that is no server.
  Put(std::string(kClassKey) + "\\InprocServer32", "libm.so.6");
  EXPECT_HR(CO_E_ERRORINDLL, CoCreateInstance(kClass, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                              object.PutVoid()));
  // Only in-process servers are looked up.
  EXPECT_HR(REGDB_E_CLASSNOTREG,
            CoCreateInstance(kClass, nullptr, CLSCTX_LOCAL_SERVER, IID_IUnknown, object.PutVoid()));
  EXPECT_FALSE(object);
}

}  // namespace
}  // namespace winport_test
