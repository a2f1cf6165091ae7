// Late binding through CreateDispTypeInfo and DispInvoke: a small object is
// driven entirely by name, as a host drives the component.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "winport/owners.h"
#include "winport/tests/support/hr_assert.h"
#include "winport/tests/support/variant_values.h"
#include "winport/win32.h"

namespace {

using winport::Bstr;
using winport::ComPtr;
using winport::SafeArray;
using winport::Variant;
using winport_test::RefTo;
using winport_test::ValueOf;

// Slots 0-6 are IUnknown and IDispatch.
struct ISample : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE Find(BSTR text, VARIANT* dirs, LONG flag, VARIANT* out) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Count(LONG* pVal) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_Count(LONG value) = 0;
  virtual HRESULT STDMETHODCALLTYPE Fail(LONG code) = 0;
  virtual LONG STDMETHODCALLTYPE Twice(SHORT value) = 0;
  virtual HRESULT STDMETHODCALLTYPE Scale(DOUBLE factor, VARIANT_BOOL negate, FLOAT bias,
                                          DOUBLE* out) = 0;
};

PARAMDATA kFindParams[] = {{const_cast<OLECHAR*>(u"sText"), VT_BSTR},
                           {const_cast<OLECHAR*>(u"pDirs"), VT_VARIANT | VT_BYREF},
                           {const_cast<OLECHAR*>(u"bFlag"), VT_I4},
                           {const_cast<OLECHAR*>(u"pResults"), VT_VARIANT | VT_BYREF}};
PARAMDATA kGetParams[] = {{const_cast<OLECHAR*>(u"pVal"), VT_I4 | VT_BYREF}};
PARAMDATA kLongParam[] = {{const_cast<OLECHAR*>(u"value"), VT_I4}};
PARAMDATA kShortParam[] = {{const_cast<OLECHAR*>(u"value"), VT_I2}};
PARAMDATA kScaleParams[] = {{const_cast<OLECHAR*>(u"factor"), VT_R8},
                            {const_cast<OLECHAR*>(u"negate"), VT_BOOL},
                            {const_cast<OLECHAR*>(u"bias"), VT_R4},
                            {const_cast<OLECHAR*>(u"out"), VT_R8 | VT_BYREF}};
METHODDATA kMethods[] = {
    {const_cast<OLECHAR*>(u"Find"), kFindParams, 1, 7, CC_STDCALL, 4, DISPATCH_METHOD, VT_HRESULT},
    {const_cast<OLECHAR*>(u"Count"), kGetParams, 3, 8, CC_STDCALL, 1, DISPATCH_PROPERTYGET,
     VT_HRESULT},
    {const_cast<OLECHAR*>(u"Count"), kLongParam, 3, 9, CC_STDCALL, 1, DISPATCH_PROPERTYPUT,
     VT_HRESULT},
    {const_cast<OLECHAR*>(u"Fail"), kLongParam, 5, 10, CC_STDCALL, 1, DISPATCH_METHOD, VT_HRESULT},
    {const_cast<OLECHAR*>(u"Twice"), kShortParam, 6, 11, CC_STDCALL, 1, DISPATCH_METHOD, VT_I4},
    {const_cast<OLECHAR*>(u"Scale"), kScaleParams, 7, 12, CC_STDCALL, 4, DISPATCH_METHOD,
     VT_HRESULT},
    // The object's value is its count: the same slot under DISPID_VALUE.
    {const_cast<OLECHAR*>(u"Value"), kGetParams, DISPID_VALUE, 8, CC_STDCALL, 1,
     DISPATCH_PROPERTYGET, VT_HRESULT},
};
INTERFACEDATA kInterface = {kMethods, sizeof kMethods / sizeof kMethods[0]};

class Sample final : public ISample {
 public:
  explicit Sample(ITypeInfo* info) : m_info(info) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = (riid == IID_IUnknown || riid == IID_IDispatch) ? this : nullptr;
    if (!*ppv) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
    return m_info.CopyTo(out);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                          DISPID* ids) override {
    return DispGetIDsOfNames(m_info.Get(), names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* excep, UINT* argErr) override {
    return DispInvoke(static_cast<ISample*>(this), m_info.Get(), id, flags, params, result, excep,
                      argErr);
  }

  HRESULT STDMETHODCALLTYPE Find(BSTR text, VARIANT* dirs, LONG flag, VARIANT* out) override {
    m_text.assign(text, SysStringLen(text));
    m_dirsType = dirs ? V_VT(dirs) : static_cast<VARTYPE>(VT_ILLEGAL);
    m_flag = flag;
    VariantClear(out);
    V_VT(out) = VT_BSTR;
    V_BSTR(out) = SysAllocString(u"found");
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_Count(LONG* pVal) override {
    *pVal = m_count;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_Count(LONG value) override {
    m_count = value;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Fail(LONG code) override { return static_cast<HRESULT>(code); }
  LONG STDMETHODCALLTYPE Twice(SHORT value) override { return 2 * value; }
  HRESULT STDMETHODCALLTYPE Scale(DOUBLE factor, VARIANT_BOOL negate, FLOAT bias,
                                  DOUBLE* out) override {
    *out = (negate ? -factor : factor) + bias;
    return S_OK;
  }

  std::u16string m_text;
  VARTYPE m_dirsType = VT_EMPTY;
  LONG m_flag = 0;
  LONG m_count = 0;
  ULONG m_refs = 0;

 private:
  ComPtr<ITypeInfo> m_info;
};

class DispatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ComPtr<ITypeInfo> info;
    ASSERT_HR(S_OK, CreateDispTypeInfo(&kInterface, LOCALE_USER_DEFAULT, info.Put()));
    m_sample = std::make_unique<Sample>(info.Get());
  }

  DISPID IdOf(const char16_t* name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = 12345;
    const HRESULT hr = m_sample->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return SUCCEEDED(hr) ? id : DISPID_UNKNOWN;
  }

  // Arguments in the order of the parameters; DISPPARAMS gets them reversed.
  HRESULT Call(const char16_t* name, WORD flags, std::initializer_list<VARIANT*> args,
               VARIANT* result = nullptr, UINT* argErr = nullptr) {
    std::vector<VARIANT> reversed;
    for (auto it = args.end(); it != args.begin();) reversed.push_back(**--it);
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), flags == DISPATCH_PROPERTYPUT ? &put : nullptr,
                      static_cast<UINT>(reversed.size()), flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
    return m_sample->Invoke(IdOf(name), IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                            nullptr, argErr);
  }

  std::unique_ptr<Sample> m_sample;
};

TEST_F(DispatchTest, NamesAreFoundWithoutRegardToCase) {
  EXPECT_EQ(1, IdOf(u"Find"));
  EXPECT_EQ(1, IdOf(u"fIND"));
  EXPECT_EQ(3, IdOf(u"count"));
  LPOLESTR names[] = {const_cast<LPOLESTR>(u"Find"), const_cast<LPOLESTR>(u"bflag"),
                      const_cast<LPOLESTR>(u"nothing")};
  DISPID ids[3] = {};
  EXPECT_HR(DISP_E_UNKNOWNNAME,
            m_sample->GetIDsOfNames(IID_NULL, names, 3, LOCALE_USER_DEFAULT, ids));
  EXPECT_EQ(1, ids[0]);
  EXPECT_EQ(2, ids[1]);
  EXPECT_EQ(DISPID_UNKNOWN, ids[2]);

  LPOLESTR unknown[] = {const_cast<LPOLESTR>(u"Search")};
  DISPID id = 0;
  EXPECT_HR(DISP_E_UNKNOWNNAME,
            m_sample->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &id));
  EXPECT_EQ(DISPID_UNKNOWN, id);
}

TEST_F(DispatchTest, MethodReceivesEachArgumentAndFillsTheOutVariant) {
  Variant text(Bstr(u"help me"));
  Variant dirs;
  V_VT(dirs.Get()) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(dirs.Get()) = SafeArrayCreateVector(VT_VARIANT, 0, 1);
  Variant flag(Bstr(u"7"));  // coerced to the declared long
  Variant results;
  VARIANT resultsRef = RefTo(VT_VARIANT, results.Get());

  ASSERT_HR(S_OK,
            Call(u"Find", DISPATCH_METHOD, {text.Get(), dirs.Get(), flag.Get(), &resultsRef}));
  EXPECT_EQ(u"help me", m_sample->m_text);
  EXPECT_EQ(VT_ARRAY | VT_VARIANT, m_sample->m_dirsType);
  EXPECT_EQ(7, m_sample->m_flag);
  ASSERT_EQ(VT_BSTR, V_VT(results.Get()));
  EXPECT_EQ(std::u16string(u"found"), std::u16string(V_BSTR(results.Get())));
  // The caller's own arguments are not changed by the coercion.
  EXPECT_EQ(VT_BSTR, V_VT(flag.Get()));
}

TEST_F(DispatchTest, PropertyIsReadAndWritten) {
  Variant value;
  ASSERT_HR(S_OK, Call(u"Count", DISPATCH_PROPERTYGET, {}, value.Get()));
  EXPECT_EQ(VT_I4, V_VT(value.Get()));
  EXPECT_EQ(0, V_I4(value.Get()));

  Variant five = ValueOf(VT_I2, SHORT{5});
  ASSERT_HR(S_OK, Call(u"Count", DISPATCH_PROPERTYPUT, {five.Get()}));
  EXPECT_EQ(5, m_sample->m_count);
  ASSERT_HR(S_OK, Call(u"Count", DISPATCH_PROPERTYGET, {}, value.Put()));
  EXPECT_EQ(5, V_I4(value.Get()));
}

TEST_F(DispatchTest, ValuesReturnedDirectlyAndFloatingPointArguments) {
  Variant number(21);
  Variant result;
  ASSERT_HR(S_OK, Call(u"Twice", DISPATCH_METHOD, {number.Get()}, result.Get()));
  EXPECT_EQ(VT_I4, V_VT(result.Get()));
  EXPECT_EQ(42, V_I4(result.Get()));

  Variant factor(Bstr(u"2.5"));
  Variant negate = ValueOf(VT_BOOL, VARIANT_TRUE);
  Variant bias(1);
  double out = 0;
  VARIANT outRef = RefTo(VT_R8, &out);
  ASSERT_HR(S_OK,
            Call(u"Scale", DISPATCH_METHOD, {factor.Get(), negate.Get(), bias.Get(), &outRef}));
  EXPECT_EQ(-1.5, out);
}

TEST_F(DispatchTest, ErrorCodes) {
  Variant a(1), b(2);
  EXPECT_HR(DISP_E_BADPARAMCOUNT, Call(u"Find", DISPATCH_METHOD, {a.Get(), b.Get()}));

  Variant text(Bstr(u"q"));
  Variant dirs;
  Variant words(Bstr(u"many"));
  Variant results;
  UINT argErr = 99;
  EXPECT_HR(DISP_E_TYPEMISMATCH,
            Call(u"Find", DISPATCH_METHOD, {text.Get(), dirs.Get(), words.Get(), results.Get()},
                 nullptr, &argErr));
  EXPECT_EQ(1u, argErr) << "the third parameter is rgvarg[1]";

  DISPPARAMS none{nullptr, nullptr, 0, 0};
  EXPECT_HR(DISP_E_MEMBERNOTFOUND,
            m_sample->Invoke(99, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
  EXPECT_HR(DISP_E_MEMBERNOTFOUND, Call(u"Find", DISPATCH_PROPERTYGET, {}));

  Variant code(static_cast<LONG>(E_ACCESSDENIED));
  EXPECT_HR(E_ACCESSDENIED, Call(u"Fail", DISPATCH_METHOD, {code.Get()}));

  DISPID named = 0;
  DISPPARAMS withName{code.Get(), &named, 1, 1};
  EXPECT_HR(DISP_E_NONAMEDARGS, m_sample->Invoke(5, IID_NULL, 0, DISPATCH_METHOD, &withName,
                                                 nullptr, nullptr, nullptr));
}

TEST_F(DispatchTest, AFailingMemberIsDescribedInTheExceptionInfoFromTheErrorObject) {
  ComPtr<ICreateErrorInfo> create;
  ASSERT_HR(S_OK, CreateErrorInfo(create.Put()));
  create->SetSource(const_cast<LPOLESTR>(u"Sample.Source"));
  create->SetDescription(const_cast<LPOLESTR>(u"the sample refused"));
  ComPtr<IErrorInfo> info;
  ASSERT_HR(S_OK, create.As(IID_IErrorInfo, &info));

  Variant code(static_cast<LONG>(E_ACCESSDENIED));
  DISPPARAMS params{code.Get(), nullptr, 1, 0};
  EXCEPINFO excep;
  std::memset(&excep, 0xFF, sizeof excep);
  SetErrorInfo(0, info.Get());
  EXPECT_HR(DISP_E_EXCEPTION, m_sample->Invoke(IdOf(u"Fail"), IID_NULL, 0, DISPATCH_METHOD, &params,
                                               nullptr, &excep, nullptr));
  EXPECT_HR(E_ACCESSDENIED, excep.scode);
  EXPECT_EQ(Bstr::Attaching(excep.bstrSource).ToUtf8(), "Sample.Source");
  EXPECT_EQ(Bstr::Attaching(excep.bstrDescription).ToUtf8(), "the sample refused");
  EXPECT_EQ(excep.bstrHelpFile, nullptr);
  EXPECT_EQ(excep.pfnDeferredFillIn, nullptr);
  IErrorInfo* left = nullptr;
  EXPECT_HR(S_FALSE, GetErrorInfo(0, &left));  // the description was taken

  // Without an error object the code still arrives; a success fills nothing.
  std::memset(&excep, 0, sizeof excep);
  EXPECT_HR(DISP_E_EXCEPTION, m_sample->Invoke(IdOf(u"Fail"), IID_NULL, 0, DISPATCH_METHOD, &params,
                                               nullptr, &excep, nullptr));
  EXPECT_HR(E_ACCESSDENIED, excep.scode);
  EXPECT_EQ(excep.bstrDescription, nullptr);
  Variant ok(0);
  DISPPARAMS success{ok.Get(), nullptr, 1, 0};
  EXCEPINFO untouched{};
  EXPECT_HR(S_OK, m_sample->Invoke(IdOf(u"Fail"), IID_NULL, 0, DISPATCH_METHOD, &success, nullptr,
                                   &untouched, nullptr));
  EXPECT_EQ(untouched.scode, 0);
}

TEST_F(DispatchTest, ConversionOfAnObjectReadsItsValueProperty) {
  m_sample->m_count = 153;
  Variant object;
  V_VT(object.Get()) = VT_DISPATCH;
  V_DISPATCH(object.Get()) = m_sample.get();
  m_sample->AddRef();
  Variant text;
  ASSERT_HR(S_OK, VariantChangeType(text.Get(), object.Get(), 0, VT_BSTR));
  EXPECT_EQ(std::u16string(u"153"), std::u16string(V_BSTR(text.Get())));
  EXPECT_HR(DISP_E_TYPEMISMATCH,
            VariantChangeType(text.Get(), object.Get(), VARIANT_NOVALUEPROP, VT_BSTR));
  object.Clear();
  EXPECT_EQ(0u, m_sample->m_refs);
}

TEST(DispTypeInfoTest, DescribesMembersAndRejectsBadDescriptions) {
  ComPtr<ITypeInfo> info;
  ASSERT_HR(S_OK, CreateDispTypeInfo(&kInterface, LOCALE_USER_DEFAULT, info.Put()));
  TYPEATTR* attr = nullptr;
  ASSERT_HR(S_OK, info->GetTypeAttr(&attr));
  EXPECT_EQ(7, attr->cFuncs);
  EXPECT_EQ(13 * sizeof(void*), attr->cbSizeVft);
  info->ReleaseTypeAttr(attr);

  FUNCDESC* desc = nullptr;
  ASSERT_HR(S_OK, info->GetFuncDesc(0, &desc));
  EXPECT_EQ(1, desc->memid);
  EXPECT_EQ(4, desc->cParams);
  EXPECT_EQ(static_cast<SHORT>(7 * sizeof(void*)), desc->oVft);
  EXPECT_EQ(VT_VARIANT | VT_BYREF, desc->lprgelemdescParam[3].tdesc.vt);
  info->ReleaseFuncDesc(desc);
  EXPECT_HR(TYPE_E_ELEMENTNOTFOUND, info->GetFuncDesc(7, &desc));

  BSTR names[3] = {};
  UINT count = 0;
  ASSERT_HR(S_OK, info->GetNames(1, names, 3, &count));
  ASSERT_EQ(3u, count);
  EXPECT_EQ(std::u16string(u"Find"), std::u16string(names[0]));
  EXPECT_EQ(std::u16string(u"pDirs"), std::u16string(names[2]));
  for (BSTR n : names) SysFreeString(n);

  PARAMDATA unsupported[] = {{const_cast<OLECHAR*>(u"x"), VT_RECORD}};
  METHODDATA bad[] = {{const_cast<OLECHAR*>(u"Bad"), unsupported, 1, 7, CC_STDCALL, 1,
                       DISPATCH_METHOD, VT_HRESULT}};
  INTERFACEDATA badInterface = {bad, 1};
  ComPtr<ITypeInfo> none;
  EXPECT_HR(E_INVALIDARG, CreateDispTypeInfo(&badInterface, 0, none.Put()));
  EXPECT_EQ(nullptr, none.Get());
  bad[0].szName = nullptr;
  bad[0].cArgs = 0;
  EXPECT_HR(E_INVALIDARG, CreateDispTypeInfo(&badInterface, 0, none.Put()));
}

}  // namespace
