// The thread's error information slot.

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "winport/owners.h"
#include "winport/tests/support/hr_assert.h"
#include "winport/win32.h"

namespace {

using winport::Bstr;
using winport::ComPtr;

ComPtr<IErrorInfo> MakeError(const char16_t* description) {
  ComPtr<ICreateErrorInfo> create;
  if (FAILED(CreateErrorInfo(create.Put()))) return {};
  create->SetDescription(const_cast<LPOLESTR>(description));
  create->SetSource(const_cast<LPOLESTR>(u"ZoViveviVadiro"));
  ComPtr<IErrorInfo> info;
  create.As(IID_IErrorInfo, &info);
  return info;
}

TEST(ErrorInfoTest, GetHandsTheObjectOverAndEmptiesTheSlot) {
  ComPtr<IErrorInfo> made = MakeError(u"no collection");
  ASSERT_TRUE(made);
  ASSERT_HR(S_OK, SetErrorInfo(0, made.Get()));
  ComPtr<IErrorInfo> got;
  ASSERT_HR(S_OK, GetErrorInfo(0, got.Put()));
  EXPECT_EQ(made.Get(), got.Get());
  Bstr text;
  ASSERT_HR(S_OK, got->GetDescription(text.Put()));
  EXPECT_EQ(std::u16string(u"no collection"), std::u16string(text.Get()));
  ASSERT_HR(S_OK, got->GetSource(text.Put()));
  EXPECT_EQ(std::u16string(u"ZoViveviVadiro"), std::u16string(text.Get()));

  ComPtr<IErrorInfo> again;
  EXPECT_HR(S_FALSE, GetErrorInfo(0, again.Put()));
  EXPECT_EQ(nullptr, again.Get());
}

TEST(ErrorInfoTest, SetWithNullClearsAndSlotsArePerThread) {
  ASSERT_HR(S_OK, SetErrorInfo(0, MakeError(u"first").Get()));
  std::thread other([] {
    ComPtr<IErrorInfo> none;
    EXPECT_HR(S_FALSE, GetErrorInfo(0, none.Put()));
    // Left set when the thread ends: the slot must release it.
    SetErrorInfo(0, MakeError(u"abandoned").Get());
  });
  other.join();
  ASSERT_HR(S_OK, SetErrorInfo(0, nullptr));
  ComPtr<IErrorInfo> none;
  EXPECT_HR(S_FALSE, GetErrorInfo(0, none.Put()));
}

TEST(ErrorInfoTest, UnsetFieldsReadAsNullOrZero) {
  ComPtr<IErrorInfo> info = MakeError(u"x");
  Bstr file(u"stale");
  ASSERT_HR(S_OK, info->GetHelpFile(file.Put()));
  EXPECT_TRUE(file.IsNull());
  DWORD context = 9;
  ASSERT_HR(S_OK, info->GetHelpContext(&context));
  EXPECT_EQ(0u, context);
  GUID guid = IID_IUnknown;
  ASSERT_HR(S_OK, info->GetGUID(&guid));
  EXPECT_TRUE(IsEqualGUID(GUID_NULL, guid));
}

}  // namespace
