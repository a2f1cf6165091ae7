// Tests that every failing member leaves an error object that describes the
// failure, and that late-bound callers receive it as exception information.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "component/com/ivivevi_vadiro.h"
#include "component/host/error_report.h"
#include "component/tests/support/component_fixture.h"
#include "component/tests/support/fake_host.h"
#include "winport/tests/support/hr_assert.h"

namespace {

class ErrorReportTest : public ComponentTest {
 protected:
  HRESULT Find(VARIANT* pDirs = nullptr, bool bWithResult = true) {
    winport::Bstr query(u"walrus");
    return C().Find(query.Get(), pDirs, 0, bWithResult ? results.Put() : nullptr);
  }
  winport::Variant results;
};

TEST_F(ErrorReportTest, EachFailingMemberDescribesItsFailure) {
  winport::SafeArray numbers = winport::SafeArray::Vector(VT_VARIANT, 0, 1);
  LONG index = 0;
  winport::Variant seven(7);
  SafeArrayPutElement(numbers.Get(), &index, seven.Get());
  winport::Variant numberList;
  V_VT(numberList.Get()) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(numberList.Get()) = numbers.Detach();

  struct Case {
    const char* sName;
    std::function<HRESULT()> call;
    HRESULT hr;
    std::string sDescription;
  } cases[] = {
      {"Find before Initialize", [&] { return Find(); }, E_FAIL, "No Dizode Collection is open."},
      {"Find without a result",
       [&] {
         Open();
         return Find(nullptr, false);
       },
       E_INVALIDARG, "Find needs a query text and a place for its results."},
      {"a failed search",
       [&] {
         toolkit.Script("TkSearch", -23);
         return Find();
       },
       E_FAIL, "Unable to Search. Dizode error-23"},
      {"a query error",
       [&] {
         toolkit.Script("TkSearch", -21);
         toolkit.sLastErrorText = "missing operand after <AND>";
         toolkit.nLastErrorColumn = 9;
         return Find();
       },
       E_FAIL, "query error at column 9: missing operand after <AND>"},
      {"a failed batch with the toolkit's reason",
       [&] {
         toolkit.Script("TkReadDocBatch", -5);
         toolkit.sLastErrorText = "reading the documents: disk I/O error";
         toolkit.nLastErrorColumn = 0;
         return Find();
       },
       E_FAIL, "Unable to do DocReadBatch. Dizode error-5: reading the documents: disk I/O error"},
      {"a folder that is no text",
       [&] {
         toolkit.documents.push_back(
             {{"SCORE", "1"}, {"VdkVgwKey", Help("a.htm")}, {"Title", "A"}});
         return Find(numberList.Get());
       },
       E_FAIL, "A folder in the folder list is not a text."},
      {"AutoRefresh without a place", [&] { return C().get_AutoRefresh(nullptr); }, E_INVALIDARG,
       "AutoRefresh needs a place for its value."},
      {"GetOffsets", [&] { return C().GetOffsets(winport::Bstr(u"a").Get(), results.Put()); },
       E_NOTIMPL, "GetOffsets is not provided"},
  };
  for (const Case& c : cases) {
    SetErrorInfo(0, nullptr);
    EXPECT_HR(c.hr, c.call()) << c.sName;
    EXPECT_EQ(TakeDescription(), c.sDescription) << c.sName;
  }
}

TEST_F(ErrorReportTest, InitializeSaysWhatTheHostOrTheStartUpRefused) {
  {
    FakeHost host({.hrWindow = E_UNEXPECTED, .sWindowError = u"the host is closing"});
    EXPECT_HR(E_FAIL, C().Initialize(0));
    EXPECT_EQ(TakeDescription(), "host application call failed: the host is closing (0x8000FFFF)");
  }
  {
    // A host that does not describe its failures: whatever the slot held
    // before is someone else's and is not taken for the host's reason.
    FakeHost host({.hrWindow = E_UNEXPECTED});
    ReportError(E_FAIL, "stale");
    EXPECT_HR(E_FAIL, C().Initialize(0));
    EXPECT_EQ(TakeDescription(), "host application call failed (0x8000FFFF)");
  }
  // No host: start-up runs on empty folders and cannot open a session.
  toolkit.Script("TkOpenSession", -3);
  EXPECT_HR(E_FAIL, C().Initialize(0));
  EXPECT_EQ(TakeDescription().rfind("The help index could not be opened or built in ", 0), 0u);
}

TEST_F(ErrorReportTest, TheObjectSaysItsInterfaceAloneIsDescribed) {
  winport::ComPtr<ISupportErrorInfo> pSupport;
  ASSERT_HR(S_OK, C().QueryInterface(IID_ISupportErrorInfo, pSupport.PutVoid()));
  EXPECT_HR(S_OK, pSupport->InterfaceSupportsErrorInfo(IID_IViveviVadiro));
  EXPECT_HR(S_FALSE, pSupport->InterfaceSupportsErrorInfo(IID_IClassFactory));
  // The same object behind it.
  winport::ComPtr<IUnknown> pFromSupport;
  winport::ComPtr<IUnknown> pFromObject;
  ASSERT_HR(S_OK, pSupport->QueryInterface(IID_IUnknown, pFromSupport.PutVoid()));
  ASSERT_HR(S_OK, C().QueryInterface(IID_IUnknown, pFromObject.PutVoid()));
  EXPECT_EQ(pFromSupport.Get(), pFromObject.Get());
}

TEST_F(ErrorReportTest, InvokeHandsTheDescriptionToALateBoundCaller) {
  winport::Bstr query(u"walrus");
  VARIANT args[4];
  V_VT(&args[3]) = VT_BSTR;
  V_BSTR(&args[3]) = query.Get();
  V_VT(&args[2]) = VT_EMPTY;
  V_VT(&args[1]) = VT_I4;
  V_I4(&args[1]) = 0;
  V_VT(&args[0]) = VT_VARIANT | VT_BYREF;
  V_VARIANTREF(&args[0]) = results.Get();
  DISPPARAMS params = {args, nullptr, 4, 0};
  EXCEPINFO excep{};
  EXPECT_HR(DISP_E_EXCEPTION, C().Invoke(kDispIdFind, IID_NULL, 0, DISPATCH_METHOD, &params,
                                         nullptr, &excep, nullptr));
  EXPECT_HR(E_FAIL, excep.scode);
  EXPECT_EQ(winport::Bstr::Attaching(excep.bstrSource).ToUtf8(), "Torvane.ViveviVadiro");
  EXPECT_EQ(winport::Bstr::Attaching(excep.bstrDescription).ToUtf8(),
            "No Dizode Collection is open.");
  winport::Bstr::Attaching(excep.bstrHelpFile);
}

}  // namespace
